#pragma once
#include <QDialog>

class LabeledEdit;
class QGroupBox;
class QPushButton;

// The login dialog: a login name or e-mail address and a password, checked against the
// web site's user table; a match logs the user in on the main window and closes it.
class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);

    QGroupBox* gbLoginDetails = nullptr;
    LabeledEdit* edtUsername = nullptr;
    LabeledEdit* edtPassword = nullptr;
    QPushButton* btnOk = nullptr;

    void btnOkClick();
};
