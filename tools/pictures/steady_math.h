// Elementary functions built from additions, multiplications, divisions and
// square roots alone. Every machine with IEEE arithmetic rounds those the same
// way, whatever its maths library does for sin or exp, so the pictures come
// out the same bit for bit on the build machine and on the device's processor.
#pragma once

float SteadySin(float x);
float SteadyCos(float x);
float SteadyExp(float x);
float SteadyPow(float base, float exponent); // base > 0; 0 otherwise
float SteadyAtan2(float y, float x);
float SteadyHypot(float x, float y);
