#include "qt/label_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

constexpr qreal kDesignedPointSize = 21.75;
constexpr qreal kPointStep = 0.25;
constexpr qreal kSmallestPointSize = 4;

QString FirstInstalledFamily(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    const auto found = std::find_if(families.begin(), families.end(), [&](const QString& family) {
        return installed.contains(family, Qt::CaseInsensitive);
    });
    return found != families.end() ? *found : QFont().family();
}

// Where a line of `extent` starts in `room` under a vertical alignment.
qreal Offset(Qt::Alignment alignment, qreal room, qreal extent) {
    if (alignment.testFlag(Qt::AlignBottom)) {
        return room - extent;
    }
    if (alignment.testFlag(Qt::AlignVCenter)) {
        return (room - extent) / 2;
    }
    return 0;
}

bool AllFit(const QFont& font, const QList<LabelText>& labels) {
    return std::all_of(labels.begin(), labels.end(), [&](const LabelText& entry) {
        return TextFits(font, *entry.label, entry.widestText);
    });
}

}  // namespace

QStringList PreferredLabelFamilies() {
    return {QStringLiteral("Berlin Sans FB"), QStringLiteral("Quicksand")};
}

bool TextFits(const QFont& font, const QLabel& label, const QString& text) {
    const QFontMetricsF metrics(font, &label);
    const QRectF room = label.contentsRect();
    // A line box taller than the label is fine as long as the glyphs themselves stay inside it.
    const qreal baseline =
        room.top() +
        Offset(label.alignment() & Qt::AlignVertical_Mask, room.height(), metrics.height()) +
        metrics.ascent();
    const QRectF ink = metrics.tightBoundingRect(text).translated(0, baseline);
    return std::ceil(metrics.horizontalAdvance(text)) <= room.width() && ink.top() >= room.top() &&
           ink.bottom() <= room.bottom();
}

QFont ChooseLabelFont(const QStringList& families, const QList<LabelText>& labels) {
    QFont font(FirstInstalledFamily(families));
    font.setWeight(QFont::Bold);
    // Exact sizes step down from the designed one, so no caption is shrunk more than it must be.
    for (qreal size = kDesignedPointSize; size >= kSmallestPointSize; size -= kPointStep) {
        font.setPointSizeF(size);
        if (AllFit(font, labels)) {
            break;
        }
    }
    return font;
}

}  // namespace orvex
