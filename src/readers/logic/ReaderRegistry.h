#pragma once

#include <QString>
#include <optional>

#include "readers/logic/Reader.h"

// The reader register (readerInfo): look a reader up, add, change and delete
// one, and step to the previous or next reader number. Numbers are taken as
// typed. Every function that touches the store throws StoreError when the
// store refuses; a refused write leaves the table as it was.
namespace ReaderRegistry {

// What became of an add, change or delete.
enum class Outcome {
    Done,
    EmptyNumber,   // add: a reader needs a number to be found again
    NumberTaken,   // add: a reader with this number exists already
    NoSuchReader,  // change, delete: no reader with this number
};

// Why a write did not happen, as the reader window tells the clerk ("" for Done).
QString reason(Outcome outcome);

// The reader with this number, or nullopt when there is none.
std::optional<Reader> FindReader(const QString& number);

// Appends the reader; nothing is written unless Done.
Outcome AddReader(const Reader& reader);

// Rewrites the name, sex, telephone and department of the reader whose number
// is reader.number; nothing is written unless Done.
Outcome UpdateReader(const Reader& reader);

// Deletes the reader with this number; the reader's loans stay as they are.
Outcome DeleteReader(const QString& number);

// How many books the reader has out (loans not yet returned), whether or not
// their books are still in the catalogue.
int LoansOutstanding(const QString& number);

// The numeric value of the text's leading number ("12a" reads 12, "" reads
// 0) plus step, written with at least three digits: "000" pattern, so 7 + 1
// gives "008" and 999 + 1 gives "1000".
QString StepReaderNumber(const QString& text, int step);

}  // namespace ReaderRegistry
