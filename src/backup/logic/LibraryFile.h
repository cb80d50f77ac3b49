#pragma once

#include <QString>
#include <atomic>
#include <optional>

// A library file taken whole through SQLite's own interface, each time on
// connections of its own (never the shared one): copied with the online
// backup in one step, so that the copy is the pages of one moment (the books'
// row ids, and with them the search index, stay as they are), checked, and
// counted.
namespace LibraryFile {

// What a library holds, as the backup window shows it.
struct Counts {
    qint64 books = 0;
    qint64 readers = 0;
    qint64 loansOut = 0;  // loans not yet returned
};

// Copies the library `from` into the new file `to` (its folder must exist),
// one self-contained file without a journal beside it. `from` is only read:
// in WAL mode the desk goes on writing meanwhile. False and *error (with
// nothing left at `to`) when it cannot.
bool copy(const QString& from, const QString& to, QString* error);

// Replaces the library `target` (it must exist) with the pages of `from` in
// one write transaction of `target`: other connections see the old library
// or the new one, and a crash meanwhile leaves the old one.
bool replace(const QString& from, const QString& target, QString* error);

// Whether a file without our stamp is refused, or is a copy of the library
// the program runs on (made before the stamp) and gets it.
enum class Stamp { Required, GivenWhenMissing };

// Checks that `file` is a library of ours and whole: our stamp, a layout no
// newer than ours, SQLite's integrity check and the search index's own check.
// Its counts, or nullopt and *error saying what is wrong. Opens the file for
// writing (the search index's check is a statement that writes nothing), so
// it is meant for copies of ours. A `stop` set meanwhile (the program closing)
// interrupts the check, which then fails.
std::optional<Counts> check(const QString& file, QString* error, Stamp stamp = Stamp::Required,
                            const std::atomic<bool>* stop = nullptr);

// The counts of the library `file`, read only; nullopt and *error when it
// cannot be read.
std::optional<Counts> count(const QString& file, QString* error);

}  // namespace LibraryFile
