#pragma once
// Drummond's D' criterion of orbital similarity.

// An orbit for comparison: eccentricity, perihelion distance (AU) and the angles in degrees.
struct DPrimeOrbit {
    double e;
    double q;
    double inclDeg;
    double nodeDeg;
    double periDeg;
};

// Longitude of the perihelion direction counted from the node (radians, between -pi/2 and
// 3 pi/2; only differences of it are used) and its latitude, for an argument of perihelion and
// an inclination in radians.
void PerihelionDirection(double periRad, double inclRad, double& lonRad, double& latRad);

// D' >= 0, symmetric in its arguments. Two circular orbits (or two of q = 0) contribute 0
// through that term instead of 0/0.
double DPrime(const DPrimeOrbit& orbit1, const DPrimeOrbit& orbit2);

// D' from one orbit to many: the first orbit's sines, cosines and perihelion direction are
// computed once. to(orbit2) equals DPrime(orbit1, orbit2) to the last bit.
class DPrimeReference {
public:
    explicit DPrimeReference(const DPrimeOrbit& orbit1);
    double to(const DPrimeOrbit& orbit2) const;

private:
    DPrimeOrbit m_orbit;
    double m_node;
    double m_cosIncl, m_sinIncl;
    double m_lon, m_sinLat, m_cosLat;
};
