#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

#include "Probes.h"

// Exported files read back by readers of their own: CSV by Python's csv
// module, XLSX by openpyxl (read_xlsx.py beside the tests).
namespace ExportFiles {

// What the reader printed, the reader having ended well.
inline QByteArray run(const QString& program, const QStringList& arguments)
{
    const Ran reader = runProgram(program, arguments);
    EXPECT_EQ(reader.exitCode, 0) << reader.err.toStdString();
    return reader.out.toUtf8();
}

// The records of a CSV file in the given (Python) encoding.
inline QList<QStringList> readCsv(const QString& path, const char* encoding = "utf-8-sig")
{
    const QString script = QStringLiteral("import csv, json, sys\n"
                                          "with open(sys.argv[1], encoding=sys.argv[2], newline='') as f:\n"
                                          "    print(json.dumps(list(csv.reader(f))))\n");
    QList<QStringList> records;
    for (const QJsonValue& row : QJsonDocument::fromJson(run("python3", {"-c", script, path, encoding})).array()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells << cell.toString();
        records << cells;
    }
    return records;
}

// A cell as openpyxl reads it: kind "s" text, "n" number, "d" date (its
// text yyyy-mm-dd), "" empty; its text; its font bold or not.
struct Cell {
    QString kind, value;
    bool bold = false;
};
struct Sheet {
    QString name;
    QMap<QString, double> widths;  // by column letter; only from a whole load
    QList<QList<Cell>> rows;      // trailing empty cells left out
};

// The sheets of a workbook, read by openpyxl (Debian's python3-openpyxl, so
// the system's Python). `streamed` reads the rows only, for a long sheet.
inline QList<Sheet> readXlsx(const QString& path, bool streamed = false)
{
    QStringList arguments = {QStringLiteral(READ_XLSX), path};
    if (streamed)
        arguments << "--rows";
    QList<Sheet> sheets;
    for (const QJsonValue& read : QJsonDocument::fromJson(run("/usr/bin/python3", arguments)).array()) {
        Sheet sheet{read["name"].toString()};
        const QJsonObject widths = read["widths"].toObject();
        for (auto it = widths.begin(); it != widths.end(); ++it)
            sheet.widths[it.key()] = it.value().toDouble();
        for (const QJsonValue& row : read["rows"].toArray()) {
            sheet.rows.append(QList<Cell>());
            for (const QJsonValue& cell : row.toArray())
                sheet.rows.last().append({cell[0].toString(), cell[1].toString(), cell[2].toBool()});
        }
        sheets << sheet;
    }
    return sheets;
}

inline QList<QStringList> texts(const Sheet& sheet)
{
    QList<QStringList> rows;
    for (const QList<Cell>& row : sheet.rows) {
        rows.append(QStringList());
        for (const Cell& cell : row)
            rows.last() << cell.value;
    }
    return rows;
}

}  // namespace ExportFiles
