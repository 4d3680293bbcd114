#pragma once

// The main window, where the operator composes pizzas, registers them as
// order lines, picks the payment and closes the order.
//
// The order's state lives in the controls: the pizza type and the payment
// method are the selected option buttons, the flavours and prices are the
// selections of the three flavour slots (a flavour list and a price list of
// the same index), and the registered lines live in the summary window, which
// comes into being at the first registration or checkout and is unloaded when
// the order is closed.
//
// Each command has one handler, named after its control and event; the
// toolbar, the pop-up menu and the access keys call the same handlers.

#include "runtime/form.h"

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class frmResumo;

namespace runtime {
class Frame;
class ListCombo;
class MaskEdit;
class OptionButton;
class StatusBar;
class ToolBar;
} // namespace runtime

// The window's controls by their design names, made by create() as the
// window was drawn (frmmorvesta_design.cpp).
struct frmMorvestaControls
{
    runtime::ToolBar *tlbFerramentas = nullptr;
    QLabel *Label1 = nullptr;
    runtime::Frame *Frame1 = nullptr;
    runtime::OptionButton *optTipoInt = nullptr;
    runtime::OptionButton *optTipoMeia = nullptr;
    runtime::OptionButton *optTipoTerco = nullptr;
    runtime::Frame *Frame3 = nullptr;
    std::array<runtime::ListCombo *, 3> cmbSabor{};
    runtime::Frame *Frame4 = nullptr;
    std::array<runtime::ListCombo *, 3> cmbValor{};
    runtime::Frame *Frame2 = nullptr;
    runtime::OptionButton *optPagDin = nullptr;
    runtime::OptionButton *optPagCheque = nullptr;
    runtime::OptionButton *optPagCard = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    runtime::ListCombo *cmbCard = nullptr;
    runtime::MaskEdit *mskCard = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *cmdCalculadora = nullptr;
    QPushButton *cmdPedido = nullptr;
    QPushButton *cmdTotal = nullptr;
    QPushButton *cmdSair = nullptr;
    runtime::StatusBar *sbMorvesta = nullptr;
    QMenu *mnuPop = nullptr;
    QAction *mnuCalc = nullptr;
    QAction *mnuPedido = nullptr;
    QAction *mnuTotal = nullptr;
    QAction *traco = nullptr;
    QAction *mnuSair = nullptr;

    void create(QWidget *frmMorvesta);
    // The pop-up menu is built the first time it is needed.
    void createPopupMenu(QWidget *frmMorvesta);
};

class frmMorvesta : public runtime::Form
{
    Q_OBJECT

public:
    frmMorvesta();
    ~frmMorvesta() override;

    const frmMorvestaControls &ui() const { return *m_ui; }
    // The summary window of the order in progress, if one is loaded.
    frmResumo *loadedResumo() const;
    // The hidden pop-up menu, built on first use.
    QMenu *mnuPop();

    void Form_Load();
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);

    void optTipoInt_Click();
    void optTipoMeia_Click();
    void optTipoTerco_Click();
    void cmbSabor_Click(int index);

    void optPagDin_Click();
    void optPagCheque_Click();
    void optPagCard_Click();
    void mskCard_GotFocus();
    void mskCard_LostFocus();

    void cmdPedido_Click();
    void cmdTotal_Click();
    void cmdCalculadora_Click();
    void cmdSair_Click();

    void tlbFerramentas_ButtonClick(const QString &key);
    void mnuCalc_Click();
    void mnuPedido_Click();
    void mnuTotal_Click();
    void mnuSair_Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void connectHandlers();
    void setFlavourSlots(std::array<int, 3> flavours, std::array<bool, 3> enabled);

    std::unique_ptr<frmMorvestaControls> m_ui;
    runtime::LazyWindow<frmResumo> m_resumo;
};
