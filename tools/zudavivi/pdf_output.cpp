#include "tools/zudavivi/pdf_output.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <vector>

#include "platform/codepage.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/output_file.h"
#include "tools/zudavivi/page_layout.h"

namespace zudavivi {
namespace {

// Page geometry in PDF points (1/72 inch).
constexpr double kA4Width = 595.2756;   // 210 mm
constexpr double kA4Height = 841.8898;  // 297 mm
constexpr double kMargin = 42.5197;     // 15 mm on every side
constexpr double kLeading = 1.2;        // line pitch / type size, at least
constexpr char kFontFamily[] = "DejaVu Sans Mono";

// cairo writes the document through WriteToFile into a file of our own, so
// that every failed write (a full disk, a file-size limit) is seen: cairo's
// own file output does not report one from its surface's status.
struct PdfDocument {
  platform::StagedFile* file = nullptr;
  bool writeFailed = false;
  int failure = 0;  // errno of the first failed file operation; 0 for none
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  unsigned long glyph[256] = {};  // glyph of each byte; 0 = draw nothing
  double column = 0;              // width of a column
  double fullSize = 0;            // type size that fills a column
  double ascent = 0;              // of the font at size 1
  double descent = 0;
  std::vector<cairo_glyph_t> run;  // the page being drawn, reused

  ~PdfDocument() {
    if (cr) cairo_destroy(cr);
    if (surface) cairo_surface_destroy(surface);
  }

  static cairo_status_t WriteToFile(void* closure, const unsigned char* data,
                                    unsigned int length) {
    PdfDocument* doc = static_cast<PdfDocument*>(closure);
    if (doc->writeFailed || !platform::StagedWrite(doc->file, data, length)) {
      if (!doc->writeFailed && doc->failure == 0) doc->failure = doc->file->error;
      doc->writeFailed = true;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
  }

  // Draws into the open companion file of the document.
  bool Open(platform::StagedFile* out, const std::string& title) {
    file = out;
    surface = cairo_pdf_surface_create_for_stream(WriteToFile, this, kA4Width, kA4Height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "ZUDAVIVI");
    if (!title.empty()) {
      cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    }
    cr = cairo_create(surface);
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 1.0);
    cairo_set_source_rgb(cr, 0, 0, 0);

    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    cairo_font_extents_t fe;
    cairo_scaled_font_extents(font, &fe);
    ascent = fe.ascent;
    descent = fe.descent;
    cairo_text_extents_t te;
    cairo_scaled_font_text_extents(font, "0", &te);
    column = (kA4Width - 2 * kMargin) / kPageColumns;
    fullSize = te.x_advance > 0 ? column / te.x_advance : column / 0.6;

    for (int b = 33; b < 256; ++b) {
      if (b == 127 || b == 255) continue;  // control, no-break space
      std::string utf8;
      platform::AppendUtf8(platform::Cp850ToUnicode(static_cast<unsigned char>(b)), &utf8);
      cairo_glyph_t* glyphs = nullptr;
      int count = 0;
      if (cairo_scaled_font_text_to_glyphs(font, 0, 0, utf8.data(), static_cast<int>(utf8.size()),
                                           &glyphs, &count, nullptr, nullptr,
                                           nullptr) == CAIRO_STATUS_SUCCESS &&
          count == 1) {
        glyph[b] = glyphs[0].index;
      }
      cairo_glyph_free(glyphs);
    }
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  }

  bool Draw(const Page& page) {
    int lines = page.length > kDefaultPageLength ? page.length : kDefaultPageLength;
    double pitch = (kA4Height - 2 * kMargin) / lines;
    double size = fullSize * kLeading <= pitch ? fullSize : pitch / kLeading;
    cairo_set_font_size(cr, size);
    // The baseline sits so that ascent and descent are centred in the line.
    double lift = (pitch - (ascent + descent) * size) / 2 + ascent * size;
    run.clear();
    for (size_t i = 0; i < page.lines.size(); ++i) {
      const std::string& line = page.lines[i];
      double y = kMargin + static_cast<double>(i) * pitch + lift;
      for (size_t k = 0; k < line.size(); ++k) {
        unsigned long g = glyph[static_cast<unsigned char>(line[k])];
        if (g == 0) continue;
        run.push_back(cairo_glyph_t{g, kMargin + static_cast<double>(k) * column, y});
      }
    }
    if (!run.empty()) cairo_show_glyphs(cr, run.data(), static_cast<int>(run.size()));
    cairo_show_page(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  }

  bool Finish() {
    cairo_destroy(cr);
    cr = nullptr;
    cairo_surface_finish(surface);
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    surface = nullptr;
    return ok && !writeFailed;
  }
};

}  // namespace

int RenderPdf(const std::string& spool, const std::string& path, const std::string& title,
              long* pages, std::string* error) {
  platform::StagedFile out;
  if (!BeginOutput(path, &out, error)) return 2;
  int result = 0;
  {
    PdfDocument doc;
    if (!doc.Open(&out, title)) {
      *error = CannotCreateDocument(path, doc.failure);
      platform::AbandonStaged(&out);
      return 2;
    }
    int laid = LayoutSpool(spool, [&doc](const Page& p) { return doc.Draw(p); }, pages, error);
    if (laid == -1) {
      result = 1;
    } else if (laid == -2 || !doc.Finish()) {
      *error = CannotWriteDocument(path, doc.failure);
      result = 2;
    }
  }
  if (result != 0) {
    platform::AbandonStaged(&out);
    return result;
  }
  return CommitOutput(&out, error) ? 0 : 2;
}

}  // namespace zudavivi
