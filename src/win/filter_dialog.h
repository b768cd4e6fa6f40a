#pragma once
// The filter dialog over the core's filter dialog model: the three check boxes, the
// OR/AND pair and the two check-box lists edit the main window's filter settings in
// place, as the model says; the model's enabling rules decide which controls take
// input.

#include <windows.h>

#include "views/filter_dialog_model.h"

namespace tracewell::win {

namespace filter_dialog_id {
inline constexpr WORD kEnableFiltering = 1001;
inline constexpr WORD kOr = 1002;
inline constexpr WORD kAnd = 1003;
inline constexpr WORD kStatusCode = 1004;
inline constexpr WORD kStatusList = 1005;
inline constexpr WORD kContentType = 1006;
inline constexpr WORD kTypeList = 1007;
}  // namespace filter_dialog_id

// Runs the dialog modally over `owner`; true when it ended with OK.
bool RunFilterDialog(HWND owner, FilterSettings& settings);

}  // namespace tracewell::win
