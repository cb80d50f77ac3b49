#include "export/logic/ExportError.h"

ExportError::ExportError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
