// The source colorizers over a generated 5 MiB HTML page and a 5 MiB script, and the
// RTF renderer over the HTML document. Throughput is input characters per second,
// reported as bytes (one byte per character, the size of the page as served in a
// single-byte encoding; the UTF-16 text in memory is twice that). Goal: 100 MB/s for
// each colorizer on one thread.
// Run: build/release/bench/tracewell_bench --benchmark_filter=Colorize

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>

#include "inspector/colorizers.h"
#include "inspector/rtf_runs.h"

namespace tracewell {
namespace {

constexpr std::size_t kTextSize = 5 << 20;

// Deterministic text pieces: words, numbers and picks from fixed lists.
class CTextMaker {
 public:
  explicit CTextMaker(std::u16string& out) : m_out(out) {}

  CTextMaker& operator<<(std::u16string_view piece) {
    m_out += piece;
    return *this;
  }
  CTextMaker& Number() { return *this << Ascii(std::to_string(m_random() % 100000)); }
  CTextMaker& Word() { return *this << Pick(kWords); }
  CTextMaker& Words(std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) (k ? *this << u" " : *this).Word();
    return *this;
  }
  template <std::size_t N>
  std::u16string_view Pick(const std::u16string_view (&list)[N]) {
    return list[m_random() % N];
  }
  std::uint32_t Roll(std::uint32_t sides) { return static_cast<std::uint32_t>(m_random() % sides); }

 private:
  static std::u16string Ascii(const std::string& s) { return {s.begin(), s.end()}; }
  static constexpr std::u16string_view kWords[] = {
      u"the", u"product", u"price", u"delivery", u"double", u"customer", u"order", u"item",
      u"review", u"stock", u"colour", u"size", u"window", u"document", u"Café", u"new",
      u"return", u"value", u"total", u"shipping"};
  std::u16string& m_out;
  std::mt19937 m_random{20240607};
};

void AppendHtmlBlock(CTextMaker& make) {
  make << u"<div class=\"item card\" id=\"item";
  make.Number() << u"\">\r\n  <a href=\"/products/";
  make.Number() << u"?ref=home&amp;page=2\" title='";
  make.Words(3) << u"'>";
  make.Words(4) << u"</a>\r\n  <img src=\"/img/";
  make.Number() << u".png\" width=100 height=80 alt=\"\">\r\n  <p style=\"color: red\">";
  make.Words(12) << u", ";
  make.Number() << u" &euro; {";
  make.Words(2) << u"}</p>\r\n";
  if (make.Roll(3) == 0) {
    make << u"  <!-- item -- ";
    make.Words(5) << u" -->\r\n";
  }
  if (make.Roll(8) == 0) {
    make << u"  <SCRIPT type=\"text/javascript\">\r\n    if (a < b && document.cookie) { x = \"";
    make.Words(3) << u"\"; }\r\n  </script>\r\n";
  }
  make << u"</div>\r\n";
}

void AppendScriptBlock(CTextMaker& make) {
  make << u"// ";
  make.Words(6) << u"\r\nfunction update";
  make.Number() << u"(order, items) {\r\n  var total = 0, i;\r\n  /* ";
  make.Words(8) << u" */\r\n  for (i = 0; i < items.length; i++) {\r\n    if (typeof items[i] == 'object') total += parseFloat(items[i].price);\r\n";
  make << u"    else if (isNaN(items[i])) continue;\r\n  }\r\n  document.getElementById(\"total\").innerHTML = \"";
  make.Words(3) << u": \\\"\" + total + \"\\\"\";\r\n  window.status = '";
  make.Words(2) << u"';\r\n  return Math.round(total * ";
  make.Number() << u") / 100;\r\n}\r\n";
}

const std::u16string& Generated(void (*appendBlock)(CTextMaker&)) {
  static std::u16string texts[2];
  std::u16string& text = texts[appendBlock == AppendHtmlBlock ? 0 : 1];
  if (text.empty()) {
    CTextMaker make(text);
    while (text.size() < kTextSize) appendBlock(make);
    text.resize(kTextSize);
  }
  return text;
}

template <typename Colorize>
void RunColorizer(benchmark::State& state, const std::u16string& text, Colorize colorize) {
  std::size_t documentSize = 0;
  for (auto _ : state) {
    const std::u16string document = colorize(text);
    documentSize = document.size();
    benchmark::DoNotOptimize(document.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["out_per_in"] = static_cast<double>(documentSize) / static_cast<double>(text.size());
}

void BM_ColorizeHtml(benchmark::State& state) {
  RunColorizer(state, Generated(AppendHtmlBlock),
               [](std::u16string_view text) { return ColorizeHtml(text); });
}
BENCHMARK(BM_ColorizeHtml)->Unit(benchmark::kMillisecond);

void BM_ColorizeScript(benchmark::State& state) {
  RunColorizer(state, Generated(AppendScriptBlock),
               [](std::u16string_view text) { return ColorizeScript(text); });
}
BENCHMARK(BM_ColorizeScript)->Unit(benchmark::kMillisecond);

// The renderer over the HTML document; bytes are again characters of the page.
void BM_ColorizeRenderHtmlRuns(benchmark::State& state) {
  const std::u16string& text = Generated(AppendHtmlBlock);
  const std::u16string document = ColorizeHtml(text);
  for (auto _ : state) {
    const std::vector<StyledRun> runs = RenderRtfRuns(document);
    benchmark::DoNotOptimize(runs.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ColorizeRenderHtmlRuns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracewell
