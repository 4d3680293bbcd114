// The main window's design: every control with its caption, place, size,
// font, colour, enabled state and tab order, as the window was drawn.
// Geometry is in twips, converted by runtime::place().

#include "frmmorvesta.h"

#include "runtime/commandbutton.h"
#include "runtime/fonts.h"
#include "runtime/frame.h"
#include "runtime/geometry.h"
#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/optionbutton.h"
#include "runtime/pictures.h"
#include "runtime/statusbar.h"
#include "runtime/toolbar.h"

#include <QLabel>
#include <QMenu>

using runtime::ListCombo;
using runtime::OptionButton;
using runtime::place;
using runtime::twips;

namespace {

template <class W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel *autoSizedLabel(const QString &name, const QString &caption, QWidget *parent, int left,
                       int top, const QFont &font, const QColor &colour)
{
    auto *label = named(new QLabel(caption, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    label->move(twips(left), twips(top));
    label->adjustSize();
    return label;
}

runtime::Frame *frame(const QString &name, const QString &caption, QWidget *parent, int left,
                      int top, int width, int height)
{
    return place(named(new runtime::Frame(caption, parent), name), left, top, width, height);
}

OptionButton *option(const QString &name, const QString &caption, runtime::Frame *parent, int top)
{
    return place(named(new OptionButton(caption, parent), name), 120, top, 1215, 375);
}

} // namespace

void frmMorvestaControls::create(QWidget *window)
{
    window->setObjectName(QStringLiteral("frmMorvesta"));
    window->setWindowTitle(QStringLiteral("Morvesta"));
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(twips(6255), twips(6120));
    // The window's font is the program's, which runtime::setUpProgram() has
    // already made the application's: message boxes, the pop-up menu and tool
    // tips use it too, and no other face has to be loaded at start-up.
    const QFont windowFont = runtime::designFont(QStringLiteral("MS Sans Serif"), 8.25);
    window->setFont(windowFont);

    // The pictures: one decode each, shared by the buttons, the toolbar and
    // the window. The command buttons draw the 32 x 32 drawings, the toolbar
    // the 16 x 16 ones.
    const QPixmap pizza = runtime::maskedPixmap(QStringLiteral(":/icons/pizza.xpm"));
    const QIcon calculator = runtime::maskedIcon(
        {QStringLiteral(":/icons/calculator.xpm"), QStringLiteral(":/icons/calculator16.xpm")});
    const QIcon order = runtime::maskedIcon(
        {QStringLiteral(":/icons/order.xpm"), QStringLiteral(":/icons/order16.xpm")});
    const QIcon money = runtime::maskedIcon(
        {QStringLiteral(":/icons/money.xpm"), QStringLiteral(":/icons/money16.xpm")});
    const QIcon exit = runtime::maskedIcon(
        {QStringLiteral(":/icons/exit.xpm"), QStringLiteral(":/icons/exit16.xpm")});
    window->setWindowIcon(QIcon(pizza));

    tlbFerramentas = place(named(new runtime::ToolBar(window), QStringLiteral("tlbFerramentas")), 0,
                           0, 6255, 420);
    tlbFerramentas->addButton(QStringLiteral("Calculadora"), QStringLiteral("Calculadora"),
                              calculator);
    tlbFerramentas->addKeyedSeparator(QStringLiteral("nada"));
    tlbFerramentas->addButton(QStringLiteral("Pedido"), QStringLiteral("Pedido"), order);
    tlbFerramentas->addButton(QStringLiteral("Total"), QStringLiteral("Total"), money);
    tlbFerramentas->addKeyedSeparator(QString());
    tlbFerramentas->addButton(QStringLiteral("Sair"), QStringLiteral("Sair"), exit);

    Label1 = autoSizedLabel(QStringLiteral("Label1"), QStringLiteral("Morvesta Turo Velmura"),
                            window, 720, 600,
                            runtime::designFont(QStringLiteral("Bookman Old Style"), 24, 300, true),
                            QColor(0xFF, 0x00, 0x00));

    Frame1 = frame(QStringLiteral("Frame1"), QStringLiteral("Tipo"), window, 120, 1320, 1455, 1455);
    optTipoInt = option(QStringLiteral("optTipoInt"), QStringLiteral("Inteira"), Frame1, 240);
    optTipoMeia = option(QStringLiteral("optTipoMeia"), QStringLiteral("1/2 - 1/2"), Frame1, 600);
    optTipoTerco = option(QStringLiteral("optTipoTerco"), QStringLiteral("3/3"), Frame1, 960);

    Frame3 =
        frame(QStringLiteral("Frame3"), QStringLiteral("Sabor"), window, 1800, 1320, 2295, 1455);
    Frame4 =
        frame(QStringLiteral("Frame4"), QStringLiteral("Preço"), window, 4320, 1320, 1695, 1455);
    const QFont priceFont = runtime::designFont(QStringLiteral("Courier"), 9.75);
    for (int i = 0; i < 3; ++i) {
        const int top = 240 + 360 * i;
        cmbSabor[i] = place(named(new ListCombo(ListCombo::Kind::DropDownList, Frame3),
                                  QStringLiteral("cmbSabor%1").arg(i)),
                            240, top, 1815, 315);
        cmbSabor[i]->setEnabled(false);
        cmbValor[i] = place(named(new ListCombo(ListCombo::Kind::SimpleCombo, Frame4),
                                  QStringLiteral("cmbValor%1").arg(i)),
                            240, top, 1215, 315);
        cmbValor[i]->setFont(priceFont);
        // A screen reader tells the slots apart by these names.
        cmbSabor[i]->setAccessibleName(QStringLiteral("Sabor %1").arg(i + 1));
        cmbValor[i]->setAccessibleName(QStringLiteral("Preço %1").arg(i + 1));
    }

    Frame2 =
        frame(QStringLiteral("Frame2"), QStringLiteral("Pagamento"), window, 120, 3000, 1455, 1455);
    optPagDin = option(QStringLiteral("optPagDin"), QStringLiteral("Dinheiro"), Frame2, 240);
    optPagCheque = option(QStringLiteral("optPagCheque"), QStringLiteral("Cheque"), Frame2, 600);
    optPagCard = option(QStringLiteral("optPagCard"), QStringLiteral("Cartão"), Frame2, 960);

    Label2 = autoSizedLabel(QStringLiteral("Label2"),
                            QStringLiteral("Una Bella Pizza Da Sciegliere"), window, 1920, 3240,
                            runtime::designFont(QStringLiteral("Bookman Old Style"), 14.25, 300),
                            QColor(0xFF, 0x00, 0x00));
    Label3 = autoSizedLabel(QStringLiteral("Label3"), QStringLiteral("Cartão"), window, 1800, 3840,
                            windowFont, QColor());
    Label4 = autoSizedLabel(QStringLiteral("Label4"), QStringLiteral("Número"), window, 4320, 3840,
                            windowFont, QColor());

    cmbCard = place(
        named(new ListCombo(ListCombo::Kind::DropDownList, window), QStringLiteral("cmbCard")),
        1800, 4080, 2295, 315);
    cmbCard->addItems({QStringLiteral("Credicard"), QStringLiteral("American Express"),
                       QStringLiteral("Visa"), QStringLiteral("Itaucard"),
                       QStringLiteral("Dinners"), QStringLiteral("Sollo"),
                       QStringLiteral("Ouro Card")});
    cmbCard->setCurrentIndex(-1);
    cmbCard->setEnabled(false);

    mskCard = place(named(new runtime::MaskEdit(window), QStringLiteral("mskCard")), 4320, 4080,
                    1695, 315);
    mskCard->setPromptChar(u'_');
    mskCard->setMaxLength(64);
    mskCard->setSensitive(true);
    // The captions above the card fields name them for a screen reader.
    Label3->setBuddy(cmbCard);
    Label4->setBuddy(mskCard);

    Image1 = place(named(new QLabel(window), QStringLiteral("Image1")), 360, 4680, 975, 855);
    Image1->setPixmap(pizza);
    Image1->setScaledContents(true);

    cmdCalculadora =
        place(named(new runtime::CommandButton(calculator, QStringLiteral("&Calculadora"), window),
                    QStringLiteral("cmdCalculadora")),
              1800, 4680, 975, 855);
    cmdPedido = place(named(new runtime::CommandButton(order, QStringLiteral("&Pedido"), window),
                            QStringLiteral("cmdPedido")),
                      2880, 4680, 975, 855);
    cmdTotal = place(named(new runtime::CommandButton(money, QStringLiteral("&Total"), window),
                           QStringLiteral("cmdTotal")),
                     3960, 4680, 975, 855);
    cmdSair = place(named(new runtime::CommandButton(exit, QStringLiteral("Sai&r"), window),
                          QStringLiteral("cmdSair")),
                    5040, 4680, 975, 855);

    sbMorvesta = place(named(new runtime::StatusBar(window), QStringLiteral("sbMorvesta")), 0, 5745,
                       6255, 375);
    using Panel = runtime::StatusBar::Panel;
    sbMorvesta->addPanel(Panel::Text, twips(3052), QStringLiteral("Morvesta Turo Velmura"));
    sbMorvesta->addPanel(Panel::Date, twips(1440));
    sbMorvesta->addPanel(Panel::Time, twips(1440));
    sbMorvesta->addPanel(Panel::Text, twips(1440));

    // Tab order by the design's tab indexes; labels, frames, the toolbar and
    // the status bar take no focus.
    QWidget *const tabOrder[] = {
        cmdPedido,   optTipoInt,  optTipoMeia,    optTipoTerco, optPagDin,   optPagCheque,
        optPagCard,  cmbSabor[0], cmbSabor[1],    cmbSabor[2],  cmbValor[0], cmbValor[1],
        cmbValor[2], cmbCard,     cmdCalculadora, cmdTotal,     cmdSair,     mskCard};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    for (QWidget *passive : std::initializer_list<QWidget *>{tlbFerramentas, sbMorvesta, Image1})
        passive->setFocusPolicy(Qt::NoFocus);
    cmdPedido->setFocus();
}

void frmMorvestaControls::createPopupMenu(QWidget *window)
{
    mnuPop = named(new QMenu(QStringLiteral("Pop"), window), QStringLiteral("mnuPop"));
    mnuCalc = named(mnuPop->addAction(QStringLiteral("&Calculadora")), QStringLiteral("mnuCalc"));
    mnuPedido = named(mnuPop->addAction(QStringLiteral("&Pedido")), QStringLiteral("mnuPedido"));
    mnuTotal = named(mnuPop->addAction(QStringLiteral("&Total")), QStringLiteral("mnuTotal"));
    traco = named(mnuPop->addSeparator(), QStringLiteral("traco"));
    mnuSair = named(mnuPop->addAction(QStringLiteral("Sai&r")), QStringLiteral("mnuSair"));
}
