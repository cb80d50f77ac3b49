#pragma once

#include <QDialog>

class QPlainTextEdit;

// A read-only viewer of the help text beside the program (readme.txt).
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    // The viewer stands on its own (no parent widget).
    explicit HelpViewer(const QString& text);

private:
    QPlainTextEdit* m_text;
};
