#include "journal/VerifyJournal.h"

#include "context/BookSelection.h"
#include "journal/JournalVerification.h"
#include "standard/Standard.h"

#include <QCoreApplication>
#include <QProgressDialog>

bool verifyJournalEntries(const BookContext& books, QWidget* parent)
{
    if (!books.session.TestSetupAccess())
        return false;
    const int company = books.selection.companyId().value();
    QProgressDialog progress(
        QStringLiteral("Verifying the journal entries of %1…").arg(books.selection.companyText()),
        QStringLiteral("Cancel"), 0, 100, parent);
    progress.setObjectName(QStringLiteral("frmVerifyJournalEntries"));
    progress.setWindowTitle(QStringLiteral("Verify Journal Entries"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    const JournalVerification result
        = JournalVerificationStore::verify(company, [&progress](qint64 checked, qint64 total) {
              progress.setMaximum(int(std::max<qint64>(total, 1)));
              progress.setValue(int(std::min(checked, total)));
              QCoreApplication::processEvents();
              return !progress.wasCanceled();
          });
    progress.reset();
    if (result.cancelled)
        Boodskap(
            QStringLiteral("Verification cancelled after %1 of %2 journal entries; no entry checked so far "
                           "was found changed.")
                .arg(result.checked)
                .arg(result.total));
    else if (result.firstAltered)
        Boodskap(QStringLiteral("JE %1 is not as it was saved: its header or lines were changed, or an entry "
                                "before it was removed, after it was saved.")
                     .arg(*result.firstAltered)
            + (result.checked > 1
                    ? QStringLiteral("  The %1 journal entries before it are as they were saved.")
                          .arg(result.checked - 1)
                    : QString()));
    else
        Boodskap(QStringLiteral("All %1 journal entries of %2 are as they were saved.")
                     .arg(result.total)
                     .arg(books.selection.companyText()));
    return true;
}
