#include "frmmorvesta.h"

#include "catalogue.h"
#include "summary/frmresumo.h"

#include "runtime/amount.h"
#include "runtime/listcombo.h"
#include "runtime/maskedit.h"
#include "runtime/messagebox.h"
#include "runtime/optionbutton.h"
#include "runtime/program.h"
#include "runtime/toolbar.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QString kDigitMask = QStringLiteral("####.####.####.####");
const QString kBlankMask = QString(19, u' ');

} // namespace

frmMorvesta::frmMorvesta() : m_ui(std::make_unique<frmMorvestaControls>())
{
    m_ui->create(this);
    connectHandlers();
    Form_Load();
}

frmMorvesta::~frmMorvesta() = default;

frmResumo *frmMorvesta::loadedResumo() const
{
    return m_resumo.peek();
}

void frmMorvesta::connectHandlers()
{
    frmMorvestaControls &ui = *m_ui;
    for (int i = 0; i < 3; ++i)
        connect(ui.cmbSabor[i], &runtime::ListCombo::click, this, [this, i] { cmbSabor_Click(i); });
    connect(ui.optTipoInt, &QAbstractButton::clicked, this, &frmMorvesta::optTipoInt_Click);
    connect(ui.optTipoMeia, &QAbstractButton::clicked, this, &frmMorvesta::optTipoMeia_Click);
    connect(ui.optTipoTerco, &QAbstractButton::clicked, this, &frmMorvesta::optTipoTerco_Click);
    connect(ui.optPagDin, &QAbstractButton::clicked, this, &frmMorvesta::optPagDin_Click);
    connect(ui.optPagCheque, &QAbstractButton::clicked, this, &frmMorvesta::optPagCheque_Click);
    connect(ui.optPagCard, &QAbstractButton::clicked, this, &frmMorvesta::optPagCard_Click);
    connect(ui.mskCard, &runtime::MaskEdit::gotFocus, this, &frmMorvesta::mskCard_GotFocus);
    connect(ui.mskCard, &runtime::MaskEdit::lostFocus, this, &frmMorvesta::mskCard_LostFocus);
    connect(ui.cmdPedido, &QAbstractButton::clicked, this, &frmMorvesta::cmdPedido_Click);
    connect(ui.cmdTotal, &QAbstractButton::clicked, this, &frmMorvesta::cmdTotal_Click);
    connect(ui.cmdCalculadora, &QAbstractButton::clicked, this, &frmMorvesta::cmdCalculadora_Click);
    connect(ui.cmdSair, &QAbstractButton::clicked, this, &frmMorvesta::cmdSair_Click);
    connect(ui.tlbFerramentas, &runtime::ToolBar::buttonClick, this,
            &frmMorvesta::tlbFerramentas_ButtonClick);
}

QMenu *frmMorvesta::mnuPop()
{
    frmMorvestaControls &ui = *m_ui;
    if (!ui.mnuPop) {
        ui.createPopupMenu(this);
        connect(ui.mnuCalc, &QAction::triggered, this, &frmMorvesta::mnuCalc_Click);
        connect(ui.mnuPedido, &QAction::triggered, this, &frmMorvesta::mnuPedido_Click);
        connect(ui.mnuTotal, &QAction::triggered, this, &frmMorvesta::mnuTotal_Click);
        connect(ui.mnuSair, &QAction::triggered, this, &frmMorvesta::mnuSair_Click);
    }
    return ui.mnuPop;
}

// Start-up and the catalogue ------------------------------------------------

void frmMorvesta::Form_Load()
{
    frmMorvestaControls &ui = *m_ui;
    for (int i = 0; i < 3; ++i) {
        for (const Flavour &flavour : kCatalogue)
            ui.cmbSabor[i]->addItem(flavour.name.toString());
        ui.cmbSabor[i]->setListIndex(-1);
    }
    for (int i = 0; i < 3; ++i) {
        for (const Flavour &flavour : kCatalogue)
            ui.cmbValor[i]->addItem(runtime::rightAlign(flavour.price.toString(), kPriceTextWidth));
        ui.cmbValor[i]->setListIndex(-1);
    }
}

// Pizza type and flavours ----------------------------------------------------

void frmMorvesta::setFlavourSlots(std::array<int, 3> flavours, std::array<bool, 3> enabled)
{
    // Selections first: a slot that is about to be disabled still gets its
    // selection, and with it its price.
    for (int i = 0; i < 3; ++i)
        m_ui->cmbSabor[i]->setListIndex(flavours[i]);
    for (int i = 0; i < 3; ++i)
        m_ui->cmbSabor[i]->setEnabled(enabled[i]);
}

void frmMorvesta::optTipoInt_Click()
{
    setFlavourSlots({0, -1, -1}, {true, false, false});
}

void frmMorvesta::optTipoMeia_Click()
{
    setFlavourSlots({0, 1, -1}, {true, true, false});
}

void frmMorvesta::optTipoTerco_Click()
{
    setFlavourSlots({0, 1, 2}, {true, true, true});
}

void frmMorvesta::cmbSabor_Click(int index)
{
    m_ui->cmbValor[index]->setListIndex(m_ui->cmbSabor[index]->listIndex());
}

// Payment ----------------------------------------------------------------------

void frmMorvesta::optPagCard_Click()
{
    m_ui->cmbCard->setEnabled(true);
    m_ui->mskCard->setEnabled(true);
}

void frmMorvesta::optPagDin_Click()
{
    m_ui->cmbCard->setEnabled(false);
    m_ui->mskCard->setEnabled(false);
    m_ui->cmbCard->setListIndex(-1);
    m_ui->mskCard->setMask(kBlankMask);
}

void frmMorvesta::optPagCheque_Click()
{
    optPagDin_Click();
}

void frmMorvesta::mskCard_GotFocus()
{
    m_ui->mskCard->setMask(kDigitMask);
}

void frmMorvesta::mskCard_LostFocus()
{
    if (m_ui->mskCard->typedChars().isEmpty())
        m_ui->mskCard->setMask(kBlankMask);
}

// Registration -------------------------------------------------------------------

void frmMorvesta::cmdPedido_Click()
{
    const frmMorvestaControls &ui = *m_ui;
    const auto flavour = [&ui](int slot) { return ui.cmbSabor[slot]->text(); };

    QString item;
    int usedSlots = 0;
    if (ui.optTipoInt->value()) {
        item = QStringLiteral("1 - ") + flavour(0);
        usedSlots = 1;
    } else if (ui.optTipoMeia->value()) {
        item = QStringLiteral("1/2 - ") + flavour(0) + QStringLiteral(" - ") + flavour(1);
        usedSlots = 2;
    } else if (ui.optTipoTerco->value()) {
        item = QStringLiteral("1/3 - ") + flavour(0) + QStringLiteral(" - ") + flavour(1) +
               QStringLiteral(" - ") + flavour(2);
        usedSlots = 3;
    } else {
        return;
    }

    // Every slot counts, used by the type or not: whatever a price list shows
    // is part of the pizza's price. A text that is not a price stops the
    // registration before anything is written, and so does a blank price in a
    // slot the type uses: that is a forgotten price, not a free pizza. An
    // unused slot left blank costs nothing.
    std::array<runtime::Centavos, 3> prices{};
    for (int i = 0; i < 3; ++i) {
        const QString text = ui.cmbValor[i]->text();
        std::optional<runtime::Centavos> price = runtime::parsePrice(text);
        if (i < usedSlots && text.trimmed().isEmpty())
            price.reset();
        if (!price) {
            runtime::msgBox(
                QStringLiteral("Preço inválido: \"%1\"").arg(runtime::oneLine(text, 40)), this);
            return;
        }
        prices[i] = *price;
    }
    const runtime::Centavos price = *std::max_element(prices.begin(), prices.end());

    const QString value =
        runtime::rightAlign(runtime::formatFixed2(price, runtime::decimalSeparator()), 7);
    m_resumo->addLine(item, value, price);

    runtime::msgBox(QStringLiteral("Pedido Cadastrado"), this);
}

// Checkout --------------------------------------------------------------------------

void frmMorvesta::cmdTotal_Click()
{
    frmMorvestaControls &ui = *m_ui;
    if (ui.optPagDin->value()) {
        m_resumo->ui().lblTipoPag->setText(QStringLiteral("Dinheiro"));
    } else if (ui.optPagCheque->value()) {
        m_resumo->ui().lblTipoPag->setText(QStringLiteral("Cheque"));
    } else if (ui.optPagCard->value()) {
        m_resumo->ui().lblTipoPag->setText(QStringLiteral("Cartão ") + ui.cmbCard->text());
        m_resumo->ui().lblCartao->setText(ui.mskCard->displayedText());
    }

    // The main window is ready for the next customer before the summary shows.
    // Clearing an option button raises nothing; clearing a flavour list moves
    // its price list through cmbSabor_Click.
    ui.optTipoInt->setValue(false);
    ui.optTipoMeia->setValue(false);
    ui.optTipoTerco->setValue(false);
    ui.optPagDin->setValue(false);
    ui.optPagCheque->setValue(false);
    ui.optPagCard->setValue(false);
    setFlavourSlots({-1, -1, -1}, {false, false, false});
    ui.cmbCard->setListIndex(-1);
    ui.mskCard->setMask(kBlankMask);

    m_resumo->showModal();
}

// Command routing -----------------------------------------------------------------

void frmMorvesta::cmdCalculadora_Click()
{
    if (!runtime::launch(runtime::desktopCalculator()))
        runtime::msgBox(QStringLiteral("Não foi possível abrir a calculadora."), this);
}

void frmMorvesta::cmdSair_Click()
{
    runtime::endProgram();
}

void frmMorvesta::tlbFerramentas_ButtonClick(const QString &key)
{
    if (key == QLatin1String("Calculadora"))
        cmdCalculadora_Click();
    else if (key == QLatin1String("Pedido"))
        cmdPedido_Click();
    else if (key == QLatin1String("Total"))
        cmdTotal_Click();
    else if (key == QLatin1String("Sair"))
        cmdSair_Click();
}

void frmMorvesta::mnuCalc_Click()
{
    cmdCalculadora_Click();
}

void frmMorvesta::mnuPedido_Click()
{
    cmdPedido_Click();
}

void frmMorvesta::mnuTotal_Click()
{
    cmdTotal_Click();
}

void frmMorvesta::mnuSair_Click()
{
    cmdSair_Click();
}

void frmMorvesta::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                 QPointF position)
{
    Q_UNUSED(shift);
    if (button == Qt::RightButton)
        mnuPop()->popup(mapToGlobal(position.toPoint()));
}

void frmMorvesta::mousePressEvent(QMouseEvent *event)
{
    // Presses that no control handles come up to the window; only those that
    // landed on its bare surface are the window's own.
    if (!childAt(event->position().toPoint()))
        Form_MouseDown(event->button(), event->modifiers(), event->position());
    runtime::Form::mousePressEvent(event);
}
