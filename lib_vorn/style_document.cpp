#include "style_document.h"

StyleDocument::~StyleDocument() = default;
