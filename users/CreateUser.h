#pragma once
#include "standard/EditDialog.h"

#include <QUuid>

class LabeledEdit;
class QGroupBox;
class QPushButton;

// "Create user": registers a new user of the web site that shares the database (a plain
// subscriber there), who may log in at once and is given rights per company elsewhere.
// Open to anybody at the workstation, logged in or not; it changes nothing of the session.
class TfrmCreateUser : public EditDialog {
    Q_OBJECT
public:
    explicit TfrmCreateUser(QWidget* parent = nullptr);

    // Lower-cases the name in its box, then the checks in their order.
    bool checkInput() override;
    // Writes the user and its two meta rows in one transaction and closes the dialog; a
    // name or e-mail another workstation has taken meanwhile is refused as in CheckInput.
    void Save() override;

    QGroupBox* const gbLoginDetails;
    LabeledEdit* const edtUsername;
    LabeledEdit* const edtEmail;
    LabeledEdit* const edtPassword;
    QPushButton* const btnOk;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString saveClaim() const { return QStringLiteral("save:") + m_saveKey; }
    const QString m_saveKey = QUuid::createUuid().toString(QUuid::WithoutBraces);
};
