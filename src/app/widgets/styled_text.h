#pragma once
// Styled runs (rtf_runs.h) as the content of a Qt text document: each run keeps its
// colour, bold and italic, and a line feed in a run starts a new paragraph.

#include <vector>

#include "inspector/rtf_runs.h"

class QTextDocument;

namespace tracewell::app {

// Replaces the document's content with the runs.
void ShowStyledRuns(QTextDocument& document, const std::vector<StyledRun>& runs);

}  // namespace tracewell::app
