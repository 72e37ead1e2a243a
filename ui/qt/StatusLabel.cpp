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

QString Joined(const std::vector<std::u16string_view>& lines, std::size_t lastCount) {
    QString joined;
    for (std::size_t line = lines.size() - lastCount; line < lines.size(); ++line) {
        if (line > lines.size() - lastCount) {
            joined += QLatin1Char('\n');
        }
        joined += QtView(lines[line]);
    }
    return joined;
}

}  // namespace

void ShowStatusText(QLabel& label, std::string_view text) {
    const QString shown = ToDisplayText(ui::StatusTail(text));
    const QStringView units(shown);
    // Measured unrounded: the label wraps a line that is wider by a fraction of a pixel.
    const QFontMetricsF metrics(label.font());
    const qreal width = label.contentsRect().width();
    const QRectF unbounded(0, 0, 1e6, 1e6);
    const ui::FitsWidth<char16_t> fits = [&](std::u16string_view piece) {
        return metrics.boundingRect(unbounded, kOneLine, QtView(piece).toString()).width() <= width;
    };
    const std::vector<std::u16string_view> lines = ui::WrapStatusLines(
        std::u16string_view(units.utf16(), static_cast<std::size_t>(units.size())), fits,
        ui::kMostVisibleStatusLines);
    const std::size_t count = ui::MostLinesThatFit(lines.size(), [&](std::size_t lastCount) {
        label.setText(Joined(lines, lastCount));
        return label.heightForWidth(label.width()) <= label.height();
    });
    label.setText(Joined(lines, count));
}

}  // namespace brelmont::qtui
