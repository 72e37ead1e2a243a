#include "ui/qt/StatusLabel.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QRectF>
#include <QString>
#include <QStringView>
#include <string>
#include <vector>

#include "ui/common/StatusTail.h"
#include "ui/common/StatusWrap.h"
#include "ui/qt/QtText.h"

namespace brelmont::qtui {
namespace {

// As the label lays out each of its lines (it expands tabs), kept to one line.
constexpr int kOneLine = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine;

QStringView QtView(std::u16string_view text) {
    return {text.data(), static_cast<qsizetype>(text.size())};
}

QString Joined(const ui::Pieces<char16_t>& lines) {
    return QString::fromStdU16String(ui::JoinedLines<char16_t>(lines, u"\n"));
}

}  // namespace

void ShowStatusText(QLabel& label, std::string_view text) {
    const QString display = ToDisplayText(ui::StatusTail(text));
    const QStringView units(display);
    // Measured unrounded: the label wraps a line that is wider by a fraction of a pixel.
    const QFontMetricsF metrics(label.font());
    const qreal width = label.contentsRect().width();
    const QRectF unbounded(0, 0, 1e6, 1e6);
    const ui::FitsWidth<char16_t> fits = [&](std::u16string_view piece) {
        return metrics.boundingRect(unbounded, kOneLine, QtView(piece).toString()).width() <= width;
    };
    const std::vector<ui::Pieces<char16_t>> wrapped = ui::WrapStatusLines(
        std::u16string_view(units.utf16(), static_cast<std::size_t>(units.size())), fits,
        ui::kMostVisibleStatusLines);
    const ui::Pieces<char16_t> shown =
        ui::LinesThatFit<char16_t>(wrapped, [&](const ui::Pieces<char16_t>& lines) {
            label.setText(Joined(lines));
            return label.heightForWidth(label.width()) <= label.height();
        });
    label.setText(Joined(shown));
}

}  // namespace brelmont::qtui
