#include "frmresumo.h"

#include "runtime/commandbutton.h"
#include "runtime/fonts.h"
#include "runtime/geometry.h"

#include <QLabel>
#include <QListWidget>

using runtime::place;

namespace {

// Where a value text's row keeps the line's amount.
constexpr int kAmountRole = Qt::UserRole;

// The desktop's colour has no role in Qt's palette; this is the classic one.
QColor desktopColour()
{
    return QColor(0x3A, 0x6E, 0xA5);
}

QLabel *autoSizedLabel(const QString &caption, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(runtime::twips(left), runtime::twips(top));
    label->adjustSize();
    return label;
}

QLabel *headingLabel(const QString &caption, QWidget *parent, int left, int top)
{
    QLabel *label = autoSizedLabel(caption, parent, left, top);
    label->setFont(runtime::designFont(QStringLiteral("MS Sans Serif"), 9.75, 700));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

QListWidget *orderList(QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setSortingEnabled(false);
    return list;
}

} // namespace

frmResumo::frmResumo()
    : runtime::Form(Qt::Window | Qt::FramelessWindowHint),
      m_ui(std::make_unique<frmResumoControls>())
{
    createControls();
}

frmResumo::~frmResumo() = default;

void frmResumo::createControls()
{
    frmResumoControls &ui = *m_ui;
    setObjectName(QStringLiteral("frmResumo"));
    setWindowTitle(QStringLiteral("Form1"));
    // The title is never shown; a screen reader says this name instead.
    setAccessibleName(QStringLiteral("Resumo"));
    setFixedSize(runtime::twips(4830), runtime::twips(3555));
    setFont(runtime::designFont(QStringLiteral("MS Sans Serif"), 8.25));
    setClosesOnlyByUnload(true);
    // It is only ever shown modally; a screen reader knows it as a dialog
    // from the start.
    setWindowModality(Qt::ApplicationModal);

    QPalette background = palette();
    background.setColor(QPalette::Window, desktopColour());
    setPalette(background);
    setAutoFillBackground(true);

    ui.Label1 = autoSizedLabel(QStringLiteral("Morvesta Turo Velmura"), this, 35, 120);
    ui.Label1->setObjectName(QStringLiteral("Label1"));
    ui.Label1->setFont(runtime::designFont(QStringLiteral("Arial Black"), 20.25, 700));
    ui.Label1->setAutoFillBackground(true);
    QPalette title = ui.Label1->palette();
    title.setColor(QPalette::Window, Qt::white);
    title.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    ui.Label1->setPalette(title);
    ui.Label1->adjustSize();

    ui.Label2 = headingLabel(QStringLiteral("Pizza"), this, 120, 960);
    ui.Label2->setObjectName(QStringLiteral("Label2"));
    ui.Label3 = headingLabel(QStringLiteral("Preço"), this, 3600, 960);
    ui.Label3->setObjectName(QStringLiteral("Label3"));

    ui.lstItem = place(orderList(this), 120, 1200, 3255, 1035);
    ui.lstItem->setObjectName(QStringLiteral("lstItem"));
    ui.lstValor = place(orderList(this), 3600, 1200, 1095, 1035);
    ui.lstValor->setObjectName(QStringLiteral("lstValor"));
    // A screen reader names each list by its heading.
    ui.lstItem->setAccessibleName(ui.Label2->text());
    ui.lstValor->setAccessibleName(ui.Label3->text());

    ui.Label4 = headingLabel(QStringLiteral("Pagamento"), this, 120, 2520);
    ui.Label4->setObjectName(QStringLiteral("Label4"));

    ui.lblTipoPag = place(new QLabel(this), 120, 2880, 3255, 255);
    ui.lblTipoPag->setObjectName(QStringLiteral("lblTipoPag"));
    ui.lblCartao = place(new QLabel(this), 120, 3120, 3255, 255);
    ui.lblCartao->setObjectName(QStringLiteral("lblCartao"));
    for (QLabel *field : {ui.lblTipoPag, ui.lblCartao}) {
        field->setTextFormat(Qt::PlainText);
        QPalette text = field->palette();
        text.setColor(QPalette::WindowText, text.color(QPalette::ButtonText));
        field->setPalette(text);
    }
    // Read with its heading: "Pagamento", "Dinheiro".
    ui.lblTipoPag->setAccessibleName(ui.Label4->text());

    ui.lblVrTot = place(new QLabel(this), 3600, 2520, 1095, 255);
    ui.lblVrTot->setObjectName(QStringLiteral("lblVrTot"));
    ui.lblVrTot->setTextFormat(Qt::PlainText);
    ui.lblVrTot->setFont(runtime::designFont(QStringLiteral("Courier"), 9.75));
    ui.lblVrTot->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui.lblVrTot->setAutoFillBackground(true);
    QPalette total = ui.lblVrTot->palette();
    total.setColor(QPalette::Window, Qt::white);
    total.setColor(QPalette::WindowText, Qt::black);
    ui.lblVrTot->setPalette(total);
    // The amount alone says nothing to a screen reader's user.
    ui.lblVrTot->setAccessibleName(QStringLiteral("Total"));

    ui.cmdSair =
        place(new runtime::CommandButton(QStringLiteral("Sai&r"), this), 3600, 3000, 1095, 375);
    ui.cmdSair->setObjectName(QStringLiteral("cmdSair"));
    connect(ui.cmdSair, &QPushButton::clicked, this, &frmResumo::cmdSair_Click);

    setTabOrder(ui.lstItem, ui.lstValor);
    setTabOrder(ui.lstValor, ui.cmdSair);
    ui.lstItem->setFocus();
}

void frmResumo::addLine(const QString &item, const QString &value, runtime::Centavos amount)
{
    m_ui->lstItem->addItem(item);
    auto *line = new QListWidgetItem(value);
    line->setData(kAmountRole, QVariant::fromValue(amount));
    m_ui->lstValor->addItem(line);
}

void frmResumo::Form_Activate()
{
    runtime::Centavos total = 0;
    QListWidget *values = m_ui->lstValor;
    // Every row is visited in turn; only the last one is left selected, which
    // is all an operator can see of the visit, since nothing is drawn before
    // the handler returns. Selecting each row on a shown list would cost a
    // round trip to the window system per row (the pointer's position on X,
    // the active window on Windows) for nothing on screen.
    const int rows = values->count();
    for (int row = 0; row < rows; ++row)
        total += values->item(row)->data(kAmountRole).value<runtime::Centavos>();
    if (rows > 0) {
        values->setCurrentRow(rows - 1);
        values->scrollToItem(values->currentItem());
    }
    m_ui->lblVrTot->setText(runtime::plainAmount(total, runtime::decimalSeparator()));
}

void frmResumo::cmdSair_Click()
{
    unload();
}
