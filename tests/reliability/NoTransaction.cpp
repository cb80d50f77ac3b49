// The control for the crash test: a Transaction that does nothing, linked in
// place of the real one, so every statement commits on its own. The crash
// test must catch the half-written loans this leaves behind.
#include "core/logic/Transaction.h"

Transaction::Transaction(const QString& action) : m_action(action) {}

Transaction::~Transaction() = default;

void Transaction::commit() {}
