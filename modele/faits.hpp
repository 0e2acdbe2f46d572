// Facts of routes and areas.
//
// Courses and distances follow the rhumb line (loxodrome) on the WGS 84
// ellipsoid (a = 6378137 m, f = 1/298.257223563): the line of constant true
// course that a plotter steers between two points, a straight line on a
// Mercator chart. Distances are in nautical miles (1852 m), surfaces in square
// nautical miles, angles and positions in degrees: longitude x, latitude y, as
// the object table holds them.
//
// Accuracy: the meridian arc and the area's series are truncated where their
// next terms are below 1e-7 m and 2e-19 of the area under an edge, and every
// difference between the two ends of a leg (of latitude, isometric latitude,
// meridian arc, longitude) is computed so that it does not cancel: short
// legs, legs due east or west and legs near the poles keep double precision.
// Against GeographicLib's Rhumb and PolygonAreaRhumb (tests/test_faits.cpp),
// courses agree within 1e-10 degree on legs of a mile and more, distances
// within 1e-11 nm or relative 1e-11, surfaces within a relative 2e-9 on rings
// of 100 m^2 and more (6e-12 on a harbour area of 0.12 square nm).
//
// No allocation, no dependency beyond the C++ standard library (the page
// builds this file to WebAssembly too).
#pragma once

#include <cstddef>

namespace ruter {

struct Troncon {
    double cap;       // true course, degrees in [0, 360)
    double distance;  // nautical miles
};

// The rhumb-line leg from (lon1, lat1) to (lon2, lat2), in degrees. The
// difference of longitude is taken the short way, so that a leg from 179.5 E
// to 179.5 W goes 1 degree east across 180. When the longitudes are exactly
// opposite, the leg goes east if lon2 - lon1 is positive (0 to 180) and west
// if it is negative (0 to -180), as GeographicLib's Rhumb::Inverse chooses.
// Longitudes off the globe (beyond 180) are taken modulo 360.
//   - A leg of zero length (the same point, or two longitudes at one pole) has
//     distance 0 and course 0.
//   - A leg to or from a pole runs along the meridian: course 0 or 180 and
//     the meridian's length, the limit of legs ending ever nearer the pole
//     (GeographicLib puts the pole a tiny way off: from 90 N to 80 N 10 E
//     it gives 179.86 degrees and 3.4 m more).
//   - A latitude beyond 90 degrees, or a position not finite, gives NaN for
//     both.
Troncon troncon(double lon1, double lat1, double lon2, double lat2);

// The length in nautical miles of the line through the `n` points
// xy[2i] = longitude, xy[2i + 1] = latitude: the sum of its legs as troncon
// gives them (0 for fewer than two points; NaN when a point is, as above). A
// closed ring's length is its perimeter.
double longueur(const double* xy, std::size_t n);

// The legs of the same line: legs[k], for k below n - 1, from point k to
// point k + 1, as troncon gives them (NaN for a leg with a point beyond 90
// degrees), each within a few units in the last place. Their distances,
// added in order, make longueur exactly: a route table's total is the
// length shown.
void troncons(const double* xy, std::size_t n, Troncon* legs);

// The surface in square nautical miles inside the ring of the `n` points
// (same layout), whose edges are rhumb lines: as GeographicLib's
// PolygonAreaRhumb computes it, as an absolute value.
//   - The ring is closed as the object table stores areas (its last point is
//     its first); one that is not is closed by a rhumb line back to its first
//     point.
//   - A ring divides the globe in two: the surface is the smaller part. A ring
//     around a pole encloses that pole.
//   - A ring that crosses itself gives the absolute value of the sum of its
//     loops' surfaces, each counted positive when it turns counter-clockwise
//     and negative when clockwise (a figure eight gives the difference of its
//     two halves).
//   - Fewer than three points give 0; a point beyond 90 degrees of latitude,
//     or not finite, gives NaN.
// At a pole, a vertex is taken as the limit of points nearing it (edges along
// the meridians and the pole); GeographicLib puts such a vertex a tiny way
// off the pole and gives a surface that differs (1.4 % more for a third of
// the cap north of 80 N).
double surface(const double* xy, std::size_t n);

// The perimeter and the surface of the ring at once, in one pass: its length
// closed by a rhumb line back to its first point (longueur of the ring
// closed), and its surface as above.
struct Anneau {
    double perimetre, surface;
};
Anneau anneau(const double* xy, std::size_t n);

}  // namespace ruter
