#include "maskedit.h"

#include "text.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QMenu>
#include <QScopedValueRollback>
#include <QValidator>

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

// Qt's digit position takes any character that is a digit in some script.
// Every change of the text, however it came, passes here, and QLineEdit takes
// back a change that makes the text invalid.
class MaskCharacters : public QValidator
{
public:
    explicit MaskCharacters(MaskEdit *edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString &input, int &position) const override
    {
        Q_UNUSED(position);
        const QString mask = m_edit->mask();
        if (mask.isEmpty())
            return Acceptable;
        for (const QChar c : std::as_const(input)) {
            if (!isAsciiDigit(c) && c != m_edit->promptChar() && (c == u'#' || !mask.contains(c)))
                return Invalid;
        }
        return Acceptable;
    }

private:
    const MaskEdit *m_edit;
};

} // namespace

MaskEdit::MaskEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new MaskCharacters(this));
}

void MaskEdit::setSensitive(bool sensitive)
{
    if (sensitive == m_sensitive)
        return;
    m_sensitive = sensitive;
    const Qt::InputMethodHints hints =
        Qt::ImhSensitiveData | Qt::ImhNoPredictiveText | Qt::ImhDigitsOnly;
    setInputMethodHints(sensitive ? inputMethodHints() | hints : inputMethodHints() & ~hints);
    setDragEnabled(false);
}

// On X11 QLineEdit hands every selection made by key or mouse to the primary
// selection. Given up again at once, before the event loop could answer
// another program's request for it, the text never leaves the program.
void MaskEdit::dropPrimarySelection()
{
    if (!m_sensitive || !m_inOwnEvent)
        return;
    const QScopedValueRollback clearing(m_inOwnEvent, false);
    QGuiApplication::clipboard()->clear(QClipboard::Selection);
}

bool MaskEdit::event(QEvent *event)
{
    // (Watched from the first focus on, which every key and click that
    // selects comes after: the program does not start the clipboard before.)
    if (m_sensitive && !m_watchingSelection && event->type() == QEvent::FocusIn) {
        connect(QGuiApplication::clipboard(), &QClipboard::selectionChanged, this,
                &MaskEdit::dropPrimarySelection);
        m_watchingSelection = true;
    }
    const QScopedValueRollback inOwnEvent(m_inOwnEvent, true);
    return QLineEdit::event(event);
}

void MaskEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_sensitive) {
        if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
            event->accept();
            return;
        }
        // Deleting to the end of the line or the whole line copies what it
        // deletes; here it only deletes.
        const bool toEnd = event->matches(QKeySequence::DeleteEndOfLine);
        if (toEnd || event->matches(QKeySequence::DeleteCompleteLine)) {
            if (toEnd) {
                deselect();
                end(true);
            } else {
                selectAll();
            }
            del();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void MaskEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (m_sensitive) {
        // QLineEdit names its entries with these words and their shortcuts.
        const QStringList out = {QLineEdit::tr("Cu&t"), QLineEdit::tr("&Copy")};
        const auto actions = menu->actions();
        for (QAction *action : actions) {
            if (out.contains(action->text().section(u'\t', 0, 0)))
                menu->removeAction(action);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

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
    const QString entered = enteredText();
    QString typed;
    for (qsizetype i = 0; i < entered.size(); ++i) {
        if (m_mask[i] == u'#' && entered[i] != u' ')
            typed += entered[i];
    }
    return typed;
}

QString MaskEdit::enteredText() const
{
    if (m_mask.isEmpty())
        return text();
    QString shown = displayText();
    qsizetype end = 0;
    for (qsizetype i = 0; i < m_mask.size() && i < shown.size(); ++i) {
        if (m_mask[i] != u'#')
            continue;
        if (shown[i] == m_prompt)
            shown[i] = u' ';
        else
            end = i + 1;
    }
    return shown.left(end);
}

QString MaskEdit::displayedText() const
{
    return m_mask.isEmpty() ? text() : displayText();
}

void MaskEdit::replaceFromOutside(int from, int to, const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (isAsciiDigit(c))
            digits += c;
    }
    if (digits.isEmpty() || !isEnabled())
        return;
    // A field the operator is not in gets the visit the operator would pay
    // it to paste: entered, pasted into, left.
    const bool visit = !hasDigitPositions();
    if (visit)
        emit gotFocus();
    if (hasDigitPositions()) {
        setSelection(from, to - from);
        insert(digits);
    }
    if (visit)
        emit lostFocus();
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
    const bool back = m_awayInProgram && event->reason() == Qt::ActiveWindowFocusReason;
    m_awayInProgram = false;
    if (!movesInsideProgram(event->reason()) && !back)
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
    if (event->reason() == Qt::ActiveWindowFocusReason) {
        // The window taking the focus is already the active one when it is
        // one of ours; when another program takes it there is none. A modal
        // window of ours that is not active yet counts as ours.
        const QWidget *active = QApplication::activeWindow();
        const QWidget *modal = QApplication::activeModalWidget();
        m_awayInProgram = (active && active != window()) || (modal && modal != window());
        if (m_awayInProgram)
            emit lostFocus();
        return;
    }
    if (movesInsideProgram(event->reason()))
        emit lostFocus();
}

bool MaskEdit::hasDigitPositions() const
{
    return m_mask.contains(u'#');
}

void MaskEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (hasDigitPositions())
        QLineEdit::dragEnterEvent(event);
    else
        event->ignore();
}

void MaskEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (hasDigitPositions())
        QLineEdit::dragMoveEvent(event);
    else
        event->ignore();
}

void MaskEdit::dropEvent(QDropEvent *event)
{
    if (hasDigitPositions())
        QLineEdit::dropEvent(event);
    else
        event->ignore();
}

} // namespace runtime
