#pragma once

#include <QString>
#include <QVariantList>

// A statement text beginning with "select ", with its values, bound in order
// to its "?" marks.
struct KeyedStatement {
    QString text;
    QVariantList values;
    // What names each row of the result (a row id) and the statement that
    // reads one row's columns by it, bound to its one "?": so that a grid
    // can let go of rows it has shown and read them again.
    QString key;
    QString rowByKey;
};

// The statement's text with its key as an extra first column.
QString KeyedText(const KeyedStatement& statement);
