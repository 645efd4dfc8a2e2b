#pragma once

// Records store file paths between double quotes with no escape, so a path holding one would
// end its own quoted text and make the saved document unreadable. Setters that put a path into
// a document ask here first: a refused path is reported on the console and changes nothing.
bool DocumentPathAllowed(const char* path);
