#pragma once

// The summary window holds the order in progress. Registration appends one
// order line per pizza to its two lists (item text and value text at the same
// row); checkout writes the payment fields and shows it modally. Each time it
// is shown it totals the value texts; its "Sair" command unloads it, and with
// it the order. It has no title bar and no other way to close.

#include "runtime/form.h"

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

struct Ui_frmResumo
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

    const Ui_frmResumo &ui() const { return *m_ui; }

    void cmdSair_Click();

protected:
    void Form_Activate() override;

private:
    void setupUi();

    std::unique_ptr<Ui_frmResumo> m_ui;
};
