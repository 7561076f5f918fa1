// Graph controls (GraphControl in a form): values plotted against their 1-based index.
#pragma once

// Replaces the plot with `count` values (0 clears it). Values that are not finite are left out.
int PlotValues(int panel, const char* control, const double* values, int count);
// Marks index `x` with a vertical line named `label`; x <= 0 removes the mark.
int SetGraphMarker(int panel, const char* control, double x, const char* label);
// What the graph shows: the number of points, point `index` (0-based), the marked index (0: none).
int GetGraphPointCount(int panel, const char* control, int* count);
int GetGraphPoint(int panel, const char* control, int index, double* value);
int GetGraphMarker(int panel, const char* control, double* x);
