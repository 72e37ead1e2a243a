#include "ui/win32/StatusLabel.h"

#include <vector>

#include "ui/common/StatusTail.h"
#include "ui/common/StatusWrap.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// As the label draws its text: word wrap, tabs expanded, "&" shown as it is.
constexpr UINT kLabelDrawing = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// The label's device context with its font chosen, for measuring as the label draws.
class LabelContext {
  public:
    LabelContext(HWND label, HFONT font) : label_(label), dc_(::GetDC(label)) {
        if (dc_ != nullptr) {
            previous_ = ::SelectObject(dc_, font);
        }
    }
    LabelContext(const LabelContext&) = delete;
    LabelContext& operator=(const LabelContext&) = delete;
    ~LabelContext() {
        if (dc_ != nullptr) {
            ::SelectObject(dc_, previous_);
            ::ReleaseDC(label_, dc_);
        }
    }

    bool Valid() const { return dc_ != nullptr; }

    // The size `text` takes drawn `format` into a box `width` wide.
    SIZE Extent(std::wstring_view text, int width, UINT format) const {
        RECT bounds{0, 0, width, 0};
        ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &bounds, format | DT_CALCRECT);
        return {bounds.right - bounds.left, bounds.bottom - bounds.top};
    }

  private:
    HWND label_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

std::wstring Joined(const ui::Pieces<wchar_t>& lines) {
    return ui::JoinedLines<wchar_t>(lines, L"\r\n");
}

}  // namespace

std::wstring StatusLabelText(HWND label, HFONT font, std::string_view text) {
    const std::wstring shown = Wide(ui::StatusTail(text));
    const LabelContext context(label, font);
    if (!context.Valid()) {
        return shown;
    }
    RECT client{};
    ::GetClientRect(label, &client);
    const ui::FitsWidth<wchar_t> fits = [&](std::wstring_view piece) {
        return context.Extent(piece, client.right, DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX)
                   .cx <= client.right;
    };
    const std::vector<ui::Pieces<wchar_t>> wrapped =
        ui::WrapStatusLines<wchar_t>(shown, fits, ui::kMostVisibleStatusLines);
    return Joined(ui::LinesThatFit<wchar_t>(wrapped, [&](const ui::Pieces<wchar_t>& lines) {
        return context.Extent(Joined(lines), client.right, kLabelDrawing).cy <= client.bottom;
    }));
}

}  // namespace brelmont::win32
