#pragma once

// The summary window holds the order in progress. Registration appends one
// order line per pizza to its two lists (item text and value text at the same
// row), handing over the line's amount with them; checkout writes the payment
// fields and shows it modally. Each time it is shown it totals the amounts of
// its lines; its "Sair" command unloads it, and with it the order. It has no
// title bar and no other way to close.
//
// The total adds the amounts, never the value texts read back: a value text
// carries the decimal separator in force when it was written, which may have
// changed before checkout.

#include "runtime/amount.h"
#include "runtime/form.h"

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

// The window's controls by their design names.
struct frmResumoControls
{
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QListWidget *lstItem = nullptr;
    QListWidget *lstValor = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *lblTipoPag = nullptr;
    QLabel *lblCartao = nullptr;
    QLabel *lblVrTot = nullptr;
    QPushButton *cmdSair = nullptr;
};

class frmResumo : public runtime::Form
{
    Q_OBJECT

public:
    frmResumo();
    ~frmResumo() override;

    const frmResumoControls &ui() const { return *m_ui; }

    // Appends an order line: its item text, its value text and the amount the
    // value text shows.
    void addLine(const QString &item, const QString &value, runtime::Centavos amount);

    void cmdSair_Click();

protected:
    void Form_Activate() override;

private:
    void createControls();

    std::unique_ptr<frmResumoControls> m_ui;
};
