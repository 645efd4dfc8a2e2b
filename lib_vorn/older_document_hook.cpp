#include "older_document_hook.h"

#include <atomic>

namespace {

std::atomic<OlderDocumentConverter> gConverter { nullptr };

} // namespace

void SetOlderDocumentConverter(OlderDocumentConverter converter) { gConverter.store(converter); }

OlderDocumentConverter GetOlderDocumentConverter() { return gConverter.load(); }
