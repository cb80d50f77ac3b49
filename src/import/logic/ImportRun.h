#pragma once

#include <functional>

#include "import/logic/ImportPlan.h"

// Writes the good rows of a checked plan into the library in one
// transaction: each book as the new-book window saves it (its publisher
// remembered), each reader as the reader window adds one. The books' search
// words are written in one sweep after them (SearchWordsInBulk).
namespace ImportRun {

struct Result {
    int imported = 0;
    bool cancelled = false;  // the clerk stopped it: nothing was written
};

// Rows between two calls of the progress callback.
inline constexpr int kProgressStep = 100;

// Calls progress(done, total) every kProgressStep rows and at the end; when
// it returns false the import stops and nothing is written. A row whose
// number was taken meanwhile (another desk) is skipped, its problem added to
// the plan. Throws StoreError: then nothing is written either.
Result run(ImportPlan& plan, const std::function<bool(int done, int total)>& progress);

}  // namespace ImportRun
