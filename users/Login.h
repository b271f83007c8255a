#pragma once
#include <QDialog>
#include <functional>

class LabeledEdit;
class QGroupBox;
class QPushButton;

// The login dialog: a login name or e-mail address and a password, checked against the
// web site's user table; a match is handed to `logIn` (which may throw, leaving the dialog
// open) and closes it.
class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(std::function<void(int userId)> logIn, QWidget* parent = nullptr);

    QGroupBox* gbLoginDetails = nullptr;
    LabeledEdit* edtUsername = nullptr;
    LabeledEdit* edtPassword = nullptr;
    QPushButton* btnOk = nullptr;

    void btnOkClick();

private:
    std::function<void(int)> m_logIn;
};
