// The proposal item mark-up: any bytes parse, strip, draw and measure without
// a fault, and the three agree (the drawn text is the stripped text, and
// measuring ends where unbounded drawing ends).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "completion/SynCompletionProposalMarkup.h"

using namespace ludra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the kinds to skip and the columns.
  uint8_t control = data[0];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  TFormatChunkList chunks;
  ParseFormatChunks(text, TFormatChunkKinds::FromBits(control & 0x3F), chunks);
  for (const TFormatChunk& c : chunks)
    if (c.Kind == fkText && c.Text.empty()) std::abort();

  TProposalColumns columns;
  for (int i = 0; i < (control >> 6); ++i) columns.Add().BiggestWord = std::string(i + 1, 'W');
  TProposalImages images(2);
  images[1].Width = 3;
  images[1].Height = 1;
  images[1].Pixels.assign(3, clRed);

  TSynRecordingCanvas canvas;
  std::string stripped = StripMarkup(text);
  int end =
      DrawFormattedText(canvas, {0, 0, 1 << 30, 20}, TSynFont(), text, false, &columns, &images);
  int measured = MeasureFormattedText(canvas, TSynFont(), text, &columns, &images);
  std::string drawn;
  for (const auto& op : canvas.Texts()) drawn += op.Text;
  // Drawing may stop at the right edge; below it everything is drawn.
  if (end < (1 << 30) && (drawn != stripped || measured != end)) std::abort();
  // On a selected row every run keeps the row's text colour.
  canvas.Clear();
  DrawFormattedText(canvas, {5, 0, 40, 20}, TSynFont(), text, true, &columns, &images);
  for (const auto& op : canvas.Texts())
    if (op.Fg != TSynFont().Color) std::abort();
  return 0;
}
