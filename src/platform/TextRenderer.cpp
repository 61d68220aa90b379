// Placeholder until the shared text rasteriser lands.
