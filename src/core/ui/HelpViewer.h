#pragma once

#include <QDialog>

class QPlainTextEdit;

// A read-only viewer of the help text beside the program (readme.txt).
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    HelpViewer(const QString& text, QWidget* parent = nullptr);

private:
    QPlainTextEdit* m_text;
};
