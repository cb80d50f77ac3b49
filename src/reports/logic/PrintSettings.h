#pragma once

#include <QString>

// How the desk prints (打印设置): whether a slip is printed after each loan,
// on which paper and to which printer. Kept in print.ini in the program data
// folder; off by default, so the desk behaves as it always has.
struct PrintSettings {
    enum class Paper { A4, A5, Receipt80 };

    bool slipOnLend = false;
    Paper paper = Paper::Receipt80;
    // A printer's name; empty: the system's default printer; kPdfFolder:
    // PDF files in the slips folder of the program data folder.
    QString printer;

    static inline const QString kFile = QStringLiteral("print.ini");
    static inline const QString kPdfFolder = QStringLiteral("PDF");
    static inline const QString kSlipsFolder = QStringLiteral("slips");

    // The settings kept in the folder (the defaults when there are none).
    static PrintSettings read(const QString& dataDir);
    // False, with *error, when the file cannot be written.
    bool save(const QString& dataDir, QString* error) const;
};
