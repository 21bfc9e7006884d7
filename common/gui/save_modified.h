// The "save changes?" rule of a document window, shared by the programs:
// they ask with their own message boxes and texts, and act on the answer
// the same way.
#pragma once

#include <functional>

class wxDocument;

namespace common {

// Whether `doc` may be closed, saving it first if the user wants to. An
// unmodified document closes without a question. Otherwise `ask` puts the
// question and returns wxYES, wxNO or wxCANCEL: wxYES saves the document
// (and it closes only when saving succeeded), wxNO drops the changes
// (the document is no longer modified) and closes, and anything else keeps
// the document open.
bool SaveModifiedDocument(wxDocument& doc, const std::function<int()>& ask);

}  // namespace common
