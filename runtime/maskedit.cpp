#include "maskedit.h"

#include <QFocusEvent>

namespace runtime {

namespace {

// Characters with a meaning in a Qt input mask; as fixed characters they are
// escaped.
constexpr QStringView kQtMaskMeta = u"AaNnXx90Dd#HhBb><!;[]{}\\";

QString toQtInputMask(const QString &mask, QChar prompt)
{
    if (mask.isEmpty())
        return {};
    QString qt;
    qt.reserve(mask.size() * 2 + 2);
    for (QChar c : mask) {
        if (c == u'#') {
            qt += u'9';
        } else {
            if (kQtMaskMeta.contains(c))
                qt += u'\\';
            qt += c;
        }
    }
    qt += u';';
    qt += prompt;
    return qt;
}

bool movesInsideProgram(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

MaskEdit::MaskEdit(QWidget *parent) : QLineEdit(parent) {}

void MaskEdit::setMask(const QString &mask)
{
    if (mask == m_mask)
        return;
    m_mask = mask;
    applyMask();
}

void MaskEdit::setPromptChar(QChar prompt)
{
    if (prompt == m_prompt)
        return;
    m_prompt = prompt;
    applyMask();
}

void MaskEdit::applyMask()
{
    setInputMask(toQtInputMask(m_mask, m_prompt));
}

QString MaskEdit::typedChars() const
{
    if (m_mask.isEmpty())
        return text();
    const QString shown = displayText();
    QString typed;
    for (qsizetype i = 0; i < m_mask.size() && i < shown.size(); ++i) {
        if (m_mask[i] == u'#' && shown[i] != m_prompt)
            typed += shown[i];
    }
    return typed;
}

QString MaskEdit::displayedText() const
{
    return m_mask.isEmpty() ? text() : displayText();
}

void MaskEdit::caretToFirstBlank()
{
    if (m_mask.isEmpty())
        return;
    const QString shown = displayText();
    qsizetype position = 0;
    for (qsizetype i = 0; i < m_mask.size() && i < shown.size(); ++i) {
        if (m_mask[i] != u'#')
            continue;
        position = i;
        if (shown[i] == m_prompt)
            break;
        position = i + 1;
    }
    deselect();
    setCursorPosition(int(position));
}

void MaskEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!movesInsideProgram(event->reason()))
        return;
    emit gotFocus();
    caretToFirstBlank();
    // The press that gave the focus comes next and would move the caret.
    m_caretOnPress = event->reason() == Qt::MouseFocusReason;
}

void MaskEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (m_caretOnPress) {
        m_caretOnPress = false;
        caretToFirstBlank();
    }
}

void MaskEdit::focusOutEvent(QFocusEvent *event)
{
    m_caretOnPress = false;
    QLineEdit::focusOutEvent(event);
    if (movesInsideProgram(event->reason()))
        emit lostFocus();
}

} // namespace runtime
