#include "users/ChangeUserAccess.h"

#include "db/Query.h"
#include "db/Transaction.h"
#include "standard/Standard.h"
#include "users/Access.h"
#include "users/AccessLevels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
EditDialogDesign changeDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmChangeUserAccess");
    d.caption = QStringLiteral("Change User Access");
    d.clientSize = {202, 271};
    d.groupName = QStringLiteral("gbMainAccess");
    d.groupCaption = QStringLiteral("Main access");
    d.groupRect = {8, 27, 185, 78};
    d.okRect = {110, 239, 75, 25};
    d.okName = QStringLiteral("Button1");
    return d;
}

QString yesNo(bool ticked) { return ticked ? QStringLiteral("Yes") : QStringLiteral("No"); }

const QStringList settingColumns{QStringLiteral("access company"), QStringLiteral("administrator"),
    QStringLiteral("trial balance"), QStringLiteral("journal entries")};
}

TfrmChangeUserAccess::TfrmChangeUserAccess(TfrmAccess* list)
    : EditDialog(changeDesign(), changeDesign().caption, list),
      lblUser(addLabel(this, QStringLiteral("lblUser"), QStringLiteral("User:"), 8, 8)),
      gbMainAccess(group()), cbAccessCompany(addCheckBox(gbMainAccess, QStringLiteral("cbAccessCompany"),
                                 QStringLiteral("Access Company"), 8, 24)),
      cbAdministrator(addCheckBox(
          gbMainAccess, QStringLiteral("cbAdministrator"), QStringLiteral("Administrator"), 8, 47)),
      gbAccessItems(
          addGroup(QStringLiteral("gbAccessItems"), QStringLiteral("Access items"), {8, 111, 185, 122})),
      lblTrialBalance(
          addLabel(gbAccessItems, QStringLiteral("lblTrialBalance"), QStringLiteral("Trial Balance"), 8, 16)),
      cbTrialBalance(
          addList(gbAccessItems, QStringLiteral("cbTrialBalance"), accessLevelNames(), 8, 35, 169)),
      lblJournalEntries(addLabel(
          gbAccessItems, QStringLiteral("lblJournalEntries"), QStringLiteral("Journal entries"), 8, 72)),
      cbJournalEntries(
          addList(gbAccessItems, QStringLiteral("cbJournalEntries"), accessLevelNames(), 8, 91, 169)),
      Button1(okButton()), m_list(list)
{
    // The dialog only ever changes the row selected when it opened; it keeps what it read.
    const Query& row = *list->listQuery();
    m_id = row.asInteger(QStringLiteral("id"));
    setEditedRow(QStringLiteral("access"), m_id, settingColumns, loadedValues(row, settingColumns),
        QStringLiteral("User access"));
    FormCreate();
    lblUser->setText(QStringLiteral("User: ") + row.asString(QStringLiteral("user_login")));
    lblUser->adjustSize();
    cbAccessCompany->setChecked(row.asString(QStringLiteral("access company")) == QLatin1String("Yes"));
    cbAdministrator->setChecked(row.asString(QStringLiteral("administrator")) == QLatin1String("Yes"));
    // A stored level the lists do not hold leaves its list empty, which OK then refuses.
    cbTrialBalance->setCurrentIndex(
        cbTrialBalance->findText(row.asString(QStringLiteral("trial balance")), Qt::MatchFixedString));
    cbJournalEntries->setCurrentIndex(
        cbJournalEntries->findText(row.asString(QStringLiteral("journal entries")), Qt::MatchFixedString));
}

bool TfrmChangeUserAccess::checkInput()
{
    for (auto [list, label] :
        {std::pair{cbTrialBalance, lblTrialBalance}, {cbJournalEntries, lblJournalEntries}})
        if (list->currentIndex() < 0)
            return refuse(
                list, QStringLiteral("Please select the ") + label->text() + QStringLiteral(" access."));
    return true;
}

void TfrmChangeUserAccess::Save()
{
    RowWriter access(QStringLiteral("access"));
    access.set(QStringLiteral("access company"), yesNo(cbAccessCompany->isChecked()))
        .set(QStringLiteral("administrator"), yesNo(cbAdministrator->isChecked()))
        .set(QStringLiteral("trial balance"), cbTrialBalance->currentText())
        .set(QStringLiteral("journal entries"), cbJournalEntries->currentText());
    // Refused (another administrator changed these settings since the dialog opened): the
    // message is shown and the dialog stays open.
    if (saveInTransaction([&](Transaction&) { access.update(m_id); }, [&] { return access.isStored(m_id); })
        != SaveResult::Saved)
        return;
    m_list->Load(false);
    accept();
}
