#pragma once

namespace zobl {

class CBug1App;

// The one application of the GUI benchmarks (offscreen, hidden main window), made on first use.
CBug1App& BenchApplication();

}  // namespace zobl
