#pragma once

#include <cairo.h>

#include <memory>

// Cairo's surfaces and contexts, freed with the owner: every picture drawn with cairo (the
// contact sheet, the player's text, the asset generator's pictures) holds them this way.
struct CairoSurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoContextFree {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceFree>;
using CairoContext = std::unique_ptr<cairo_t, CairoContextFree>;
