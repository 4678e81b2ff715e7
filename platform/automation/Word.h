#pragma once
// Word documents as .docx files: the document model behind the
// "word.application" automation server (paragraphs, tables, bookmarks, a
// selection), written as new packages with libzip, or, for a document
// opened from a file, saved as a patched copy of that package in which
// every part but the main document is copied byte for byte and the main
// document changes only where tables and paragraphs were added.

#include "platform/automation/ComObj.h"

// A document file that cannot be read (damaged, not a .docx, a binary .doc)
// or a save that failed.
QT_DECLARE_EXCEPTION(EWordError, EOleError);

// The "word.application" server: a new instance.
TComPtr<IDispatch> WordApplicationFactory();
