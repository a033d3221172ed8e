#include "tools/pictures/steady_math.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kLn2 = 0.6931471805599453;

// sin on [-pi/2, pi/2] by its series.
double SinNear(double r) {
    const double r2 = r * r;
    double term = r, sum = r;
    for (int n = 1; n <= 8; ++n) {
        term *= -r2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double Sin(double x) {
    double r = x - std::floor(x / (2 * kPi) + 0.5) * (2 * kPi); // -pi..pi
    if (r > kPi / 2) r = kPi - r;
    if (r < -kPi / 2) r = -kPi - r;
    return SinNear(r);
}

double Exp(double x) {
    if (x < -80) return 0;
    if (x > 80) x = 80;
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;
    double term = 1, sum = 1;
    for (int n = 1; n <= 14; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k)); // exact scaling by 2^k
}

double Log(double a) {
    int e = 0;
    double m = std::frexp(a, &e); // exact: a = m * 2^e, m in [0.5, 1)
    if (m < 0.7071067811865476) {
        m *= 2;
        --e;
    }
    const double s = (m - 1) / (m + 1), s2 = s * s;
    double power = s, sum = 0;
    for (int n = 1; n <= 21; n += 2) {
        sum += power / n;
        power *= s2;
    }
    return 2 * sum + e * kLn2;
}

// atan on [0, 1].
double AtanUnit(double x) {
    const double kTan15 = 0.2679491924311228, kRoot3 = 1.7320508075688772;
    double offset = 0;
    if (x > kTan15) {
        x = (x * kRoot3 - 1) / (x + kRoot3);
        offset = kPi / 6;
    }
    const double x2 = x * x;
    double power = x, sum = 0;
    for (int n = 1; n <= 19; n += 2) {
        sum += ((n / 2) % 2 == 0 ? power : -power) / n;
        power *= x2;
    }
    return offset + sum;
}

} // namespace

float SteadySin(float x) {
    return static_cast<float>(Sin(x));
}

float SteadyCos(float x) {
    return static_cast<float>(Sin(static_cast<double>(x) + kPi / 2));
}

float SteadyExp(float x) {
    return static_cast<float>(Exp(x));
}

float SteadyPow(float base, float exponent) {
    if (!(base > 0)) return 0;
    return static_cast<float>(Exp(exponent * Log(base)));
}

float SteadyAtan2(float y, float x) {
    const double ay = std::fabs(y), ax = std::fabs(x);
    if (ax == 0 && ay == 0) return 0;
    double a = ay <= ax ? AtanUnit(ay / ax) : kPi / 2 - AtanUnit(ax / ay);
    if (x < 0) a = kPi - a;
    return static_cast<float>(y < 0 ? -a : a);
}

float SteadyHypot(float x, float y) {
    return std::sqrt(x * x + y * y);
}
