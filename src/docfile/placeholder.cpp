// Replaced by the document library's sources.
