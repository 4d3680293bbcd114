#pragma once

// Rules for the characters of the program's texts, shared by the controls
// that read prices and card numbers and by what a screen reader hears of
// the captions.

#include <QChar>
#include <QString>

namespace runtime {

// The digits 0 to 9, and no other script's digits: QChar::isDigit() would
// take Arabic-Indic or full-width digits, which no price or card number here
// is written in.
inline bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A caption as it reads and as it is drawn: the '&' that marks the access
// letter left out, "&&" a plain '&'.
inline QString withoutAccessMark(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size())
            break;
        text += caption[i];
    }
    return text;
}

} // namespace runtime
