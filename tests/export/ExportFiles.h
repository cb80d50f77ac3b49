#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

// Exported files read back by readers of their own: CSV by Python's csv
// module, XLSX unzipped and its sheet's XML read as a spreadsheet reads it.
namespace ExportFiles {

inline QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
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

inline QString unzip(const QString& path, const QString& member)
{
    return QString::fromUtf8(run("unzip", {"-p", path, member}));
}

// A cell as the workbook keeps it: its text (the format's _xHHHH_ read as
// the character HHHH) or number, its type ("inlineStr", "" for a number)
// and its style's number.
struct Cell {
    QString value;
    QString type;
    int style = 0;
};
using Sheet = QList<QList<Cell>>;

// The rows of sheet `number`, each cell at its column (trailing empty cells left out).
inline Sheet readSheet(const QString& path, int number)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QXmlStreamReader xml(unzip(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)));
    Sheet rows;
    Cell* cell = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"row") {
            rows.append(QList<Cell>());
        } else if (xml.name() == u"c") {
            const int column = xml.attributes().value("r").at(0).unicode() - 'A';
            rows.last().resize(column + 1);
            cell = &rows.last()[column];
            cell->type = xml.attributes().value("t").toString();
            cell->style = xml.attributes().value("s").toInt();
        } else if ((xml.name() == u"t" || xml.name() == u"v") && cell) {
            QString text = xml.readElementText();
            for (QRegularExpressionMatch m = escape.match(text); m.hasMatch(); m = escape.match(text, m.capturedStart() + 1))
                text.replace(m.capturedStart(), m.capturedLength(), QChar(m.captured(1).toUShort(nullptr, 16)));
            cell->value = text;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}

inline QList<QStringList> texts(const Sheet& sheet)
{
    QList<QStringList> rows;
    for (const QList<Cell>& row : sheet) {
        rows.append(QStringList());
        for (const Cell& cell : row)
            rows.last() << cell.value;
    }
    return rows;
}

}  // namespace ExportFiles
