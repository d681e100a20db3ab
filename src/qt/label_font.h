#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QLabel;

namespace orvex {

// A label and the widest text it will ever show.
struct LabelText {
    QLabel* label = nullptr;
    QString widestText;
};

// The designed face first, then a rounded bold sans of similar width that Linux systems ship.
QStringList PreferredLabelFamilies();

// True when `text` set in `font` fits inside `label` without being clipped.
bool TextFits(const QFont& font, const QLabel& label, const QString& text);

// The label font: the first installed family of `families` (the toolkit's default family when none
// is), bold, 21.75 pt, shrunk in quarter points just enough for every text to fit its label.
QFont ChooseLabelFont(const QStringList& families, const QList<LabelText>& labels);

}  // namespace orvex
