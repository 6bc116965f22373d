// The store's rollback journal, which makes every store operation
// all-or-nothing: its stored form (JournalFormat.h), the recovery that plays
// a cut operation's journal back on opening (Recovery.h), and the
// held-write layer that writes it before the store is touched
// (JournaledFile.h). The journal's layout is documented with the store
// format in FileMan1.h.
#pragma once
#include "store/JournalFormat.h"
#include "store/JournaledFile.h"
#include "store/Recovery.h"
