#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// A financial period as the windows read it.
struct StoredPeriod {
    int id = -1;
    int yearId = -1;
    QString description;
    QDate start;
    QDate end;
    QString open; // "Yes" or "No", as stored
};

// The statements on `financial periods` that the filter bar and the journal windows run.
// Each throws DbError.
namespace PeriodStore {
// One period by id, deleted or not; empty when it is gone.
std::optional<StoredPeriod> byId(int id);
// The year's periods that are not deleted, by period number.
QList<StoredPeriod> ofYear(int yearId);
// Among the given years, the first period (by year, then number) that is not deleted and
// contains `day`.
std::optional<StoredPeriod> containing(const QDate& day, const QList<int>& yearIds);
// The period's open flag read with a locking read, inside the caller's transaction.
std::optional<QString> openFlagForUpdate(int id);
}
