// The rounding functions that the size report's arithmetic compiles to.
#include "runtime.h"

double trunc(double value)
{
    // Zeros keep their sign; from 2^52 up, infinities and NaN are whole already.
    if (value == 0 || !(value > -4503599627370496.0 && value < 4503599627370496.0))
        return value;
    double whole = (double)(long long)value;
    return whole == 0 && value < 0 ? -0.0 : whole;
}

double floor(double value)
{
    double whole = trunc(value);
    return whole > value ? whole - 1 : whole;
}
