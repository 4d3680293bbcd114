// What a screen reader reads of every control of the main window, the summary,
// the message box and the pop-up menu.

#include "testsupport.h"

#include "summary/frmresumo.h"

#include <QAccessible>
#include <QDialog>
#include <QLabel>

namespace {

// A control as a screen reader reads it: role, name, description and the
// same of its entries, but for the entries of a list.
QString readOut(QObject *object)
{
    QAccessibleInterface *control = QAccessible::queryAccessibleInterface(object);
    const QAccessible::Role role = control->role();
    QStringList read{QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role)),
                     control->text(QAccessible::Name), control->text(QAccessible::Description)};
    if (control->state().expanded) // a list only while it shows its entries
        read << QStringLiteral("expanded");
    const bool list = role == QAccessible::ComboBox || role == QAccessible::List;
    for (int i = 0; !list && i < control->childCount(); ++i)
        read << readOut(control->child(i)->object());
    for (int i = 0; i < control->childCount(); ++i) // a reader goes back by these indexes
        if (control->indexOfChild(control->child(i)) != i)
            read << QStringLiteral("child %1 misplaced").arg(i);
    return read.join(u'|');
}

} // namespace

class tst_Accessibility : public MainWindowTest
{
    Q_OBJECT

private slots:
    void screenReaderReadsEveryControl_data();
    void screenReaderReadsEveryControl();
};

void tst_Accessibility::screenReaderReadsEveryControl_data()
{
    QTest::addColumn<QString>("control"); // a design name; on the summary after a "/"
    QTest::addColumn<QString>("reads");
    const char *rows[][2] = {
        {"Frame1", "Grouping|Tipo||RadioButton|Inteira||RadioButton|1/2 - 1/2||RadioButton|3/3|"},
        {"Frame3", "Grouping|Sabor||ComboBox|Sabor 1||ComboBox|Sabor 2||ComboBox|Sabor 3|"},
        {"Frame4", "Grouping|Preço||ComboBox|Preço 1||ComboBox|Preço 2||ComboBox|Preço 3|"},
        {"Frame2",
         "Grouping|Pagamento||RadioButton|Dinheiro||RadioButton|Cheque||RadioButton|Cartão|"},
        {"cmbCard", "ComboBox|Cartão|"},
        {"mskCard", "EditableText|Número|"},
        {"cmdSair", "Button|Sair|"},
        {"tlbFerramentas", "ToolBar|||Button|Calculadora|Calculadora|Separator|||Button|Pedido|"
                           "Pedido|Button|Total|Total|Separator|||Button|Sair|Sair"},
        {"sbMorvesta", "StatusBar|||StaticText|Morvesta Turo Velmura||StaticText|%1||StaticText|"
                       "%2||StaticText||"},
        {"/lstItem", "List|Pizza|"},
        {"/lstValor", "List|Preço|"},
        {"/lblTipoPag", "StaticText|Pagamento|Dinheiro"},
        {"/lblVrTot", "StaticText|Total|5,9"},
        {"msgBox", "AlertMessage|Morvesta||StaticText|Pedido Cadastrado||Button|OK|"},
        {"mnuPop", "PopupMenu|||MenuItem|Calculadora||MenuItem|Pedido||MenuItem|Total||"
                   "Separator|||MenuItem|Sair|"}};
    for (const auto &[control, reads] : rows)
        QTest::newRow(control) << QString::fromUtf8(control) << QString::fromUtf8(reads);
}

void tst_Accessibility::screenReaderReadsEveryControl()
{
    QFETCH(QString, control);
    QFETCH(QString, reads);
    QString read; // the box and the summary are read while they are up
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *resumo = qobject_cast<frmResumo *>(modal))
            read = readOut(::control<QWidget>(resumo, control.mid(1))), resumo->cmdSair_Click();
        else if (auto *box = qobject_cast<QDialog *>(modal))
            read = readOut(box), box->accept();
    });
    poll.start(5);
    if (control == QLatin1String("msgBox"))
        m_messages.reset();
    for (const char *name : {"optTipoMeia", "optPagDin", "cmdPedido"})
        click(QString::fromLatin1(name));
    if (control.startsWith(u'/'))
        click(QStringLiteral("cmdTotal"));
    m_window->mnuPop(); // made on first use
    const QList<QLabel *> panels = find(QStringLiteral("sbMorvesta"))->findChildren<QLabel *>();
    QCOMPARE(read.isEmpty() ? readOut(find(control)) : read,
             reads.replace(QLatin1String("%1"), panels[1]->text())
                 .replace(QLatin1String("%2"), panels[2]->text()));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
