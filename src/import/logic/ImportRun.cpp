#include "import/logic/ImportRun.h"

#include <optional>

#include "core/logic/SearchWordsInBulk.h"
#include "core/logic/Transaction.h"
#include "readers/logic/ReaderRegistry.h"

namespace ImportRun {

namespace {

// Writes one row; false when its number was taken since the plan was checked.
bool write(const ImportPlan& plan, const ImportRow& row)
{
    if (plan.kind() == ImportKind::Kind::Books)
        return Books::addBook(plan.bookOf(row)) == Books::Outcome::Done;
    return ReaderRegistry::AddReader(plan.readerOf(row)) == ReaderRegistry::Outcome::Done;
}

}  // namespace

Result run(ImportPlan& plan, const std::function<bool(int done, int total)>& progress)
{
    const int total = plan.goodCount();
    const QString action = QStringLiteral("导入") + ImportKind::noun(plan.kind());
    Transaction transaction(action);
    std::optional<SearchWordsInBulk> words;
    if (plan.kind() == ImportKind::Kind::Books)
        words.emplace(action);
    Result result;
    QList<int> taken;
    int done = 0;
    for (int i = 0; i < plan.rows().size(); ++i) {
        const ImportRow& row = plan.rows()[i];
        if (!row.good())
            continue;
        if (write(plan, row))
            ++result.imported;
        else
            taken << i;
        ++done;
        if ((done % kProgressStep == 0 || done == total) && progress && !progress(done, total)) {
            result.cancelled = true;
            result.imported = 0;
            return result;
        }
    }
    if (words)
        words->finish();
    transaction.commit();
    for (int i : taken)
        plan.addProblem(i, ImportKind::fields(plan.kind()).first() + QStringLiteral("已在库中"));
    return result;
}

}  // namespace ImportRun
