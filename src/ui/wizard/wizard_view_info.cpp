#include "ui/wizard/wizard_view_info.h"

#include "core/setup.h"
#include "resources/setup_resources.h"
#include "ui/pages/setup_custom_page.h"
#include "ui/wizard/wizard_form.h"

namespace nolu::ui {

int TWizardCustomViewInfo::Dpi() const {
  return form_.FormDpi();
}

int TWizardCustomViewInfo::Scale(int value) const {
  return ScaleValue(value, Dpi());
}

void TWizardCustomViewInfo::DrawDots(ICanvas& canvas, const TRect& rect, int count, TColor color) {
  for (int i = 0; i < count; ++i)
    canvas.FillRect({rect.Left + i * 6, rect.Top, 3, rect.Height}, color);
}

TWizardFormViewInfo::TWizardFormViewInfo(TWizardForm& form)
    : TWizardCustomViewInfo(form),
      header_light_(nolu::Setup()->Resources().GetImage(u"header.png")),
      header_dark_(nolu::Setup()->Resources().GetImage(u"header_dark.png")) {}

const TPicture& TWizardFormViewInfo::HeaderImage() const {
  return Form().DarkMode() ? header_dark_ : header_light_;
}

TRect TWizardFormViewInfo::ClientBounds() const {
  const TRect device = Form().DeviceBounds();
  return {0, 0, device.Width, device.Height};
}

TRect TWizardFormViewInfo::GetHeaderBounds() const {
  return {0, 0, ClientBounds().Width, Scale(53)};
}

TRect TWizardFormViewInfo::GetProgressBounds() const {
  return {0, GetHeaderBounds().Bottom(), ClientBounds().Width, Scale(10)};
}

TRect TWizardFormViewInfo::GetFooterBounds() const {
  const TRect client = ClientBounds();
  return TRect::FromEdges(0, client.Bottom() - Scale(44), client.Width, client.Bottom());
}

TRect TWizardFormViewInfo::GetCaptionBounds() const {
  return GetHeaderBounds().Shrunk(Scale(144), Scale(6), Scale(16), Scale(12));
}

TRect TWizardFormViewInfo::GetPageBounds(bool full_screen) {
  // The client area is 640 × 480; the footer takes the bottom 44, the header and the strip
  // the top 63, and 4 more lie between the strip and a standard page.
  return full_screen ? TRect{0, 0, 640, 436} : TRect::FromEdges(0, 67, 640, 436);
}

void TWizardFormViewInfo::Draw(ICanvas& canvas, const TSetupCustomPage* page) const {
  const TWizardPalette& palette = Form().Palette();
  const TRect client = ClientBounds();
  canvas.FillRect(client, palette.PageBackground);

  const TRect footer = GetFooterBounds();
  canvas.FillRect(footer, palette.Footer);
  canvas.FillRect({footer.Left, footer.Top, footer.Width, 1}, palette.Footer);
  canvas.FillRect({footer.Left, footer.Top + 1, footer.Width, 1}, palette.FooterBorder);

  const TRect header = GetHeaderBounds();
  canvas.DrawPicture(header, HeaderImage(), /*opaque=*/true);
  canvas.FillRect({header.Left, header.Bottom() - Scale(1), header.Width, Scale(1)},
                  palette.Accent);

  if (!page) return;
  const TRect caption = GetCaptionBounds();
  TFont title_font;
  title_font.Name = u"Segoe UI";
  title_font.Size = 11;
  TFont description_font = title_font;
  description_font.Size = 8;
  TTextFormat format;
  format.Horizontal = THorzAlign::haRight;
  const String title = page->Title();
  const String description = page->Description();
  const int title_height = canvas.MeasureText(title, title_font).Height;
  const int description_height = canvas.MeasureText(description, description_font).Height;
  canvas.DrawText({caption.Left, caption.Top, caption.Width, title_height}, title, title_font,
                  palette.HeaderText, format);
  canvas.DrawText(
      {caption.Left, caption.Bottom() - description_height, caption.Width, description_height},
      description, description_font, palette.HeaderText, format);
}

}  // namespace nolu::ui
