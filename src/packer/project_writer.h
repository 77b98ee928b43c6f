// Turns a PackProject into project data: the version chunk, the header chunk with the
// class list, one application entry chunk per entry with its properties, initial source,
// game-input settings and banks, and the end chunk.
#pragma once

#include <string>

#include "packer/project_chunk_writer.h"
#include "packer/project_model.h"

// Appends the project data to `out`. False, with a message in `error` and `out` left in an
// unspecified state, when the project cannot be stored faithfully (a name too long, sizes
// that do not fit their fields, pixels that do not match their image, ...).
bool WriteProjectData(const PackProject& project, ProjectChunkWriter& out, std::string& error);

// Appends one bank record; offsets are relative to the record's first byte. The entry's
// version is the current one, so the record carries the bank version word.
bool WriteBankRecord(const PackBank& bank, ProjectChunkWriter& out, std::string& error);
