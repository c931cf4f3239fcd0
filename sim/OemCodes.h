#pragma once

#include "host/MachConstants.h"

// Compile-time host codes of the OEM kinds the simulated machine answers to, so that the hot
// read paths can dispatch with a plain switch. The block layout is that of the vocabulary's
// code tables; the tests check every kind against the vocabulary's own lookup.
namespace hostsim::oem {

constexpr int DroCode(TmcOEMDROtype kind)
{
    const int o = kind;
    if (o <= 162)
        return o;
    if (o <= 211)
        return 175 + (o - 163);
    if (o <= 223)
        return 800 + (o - 212);
    if (o <= 229)
        return 813 + (o - 224);
    if (o == 230)
        return 821;
    if (o <= 235)
        return 824 + (o - 231);
    if (o <= 247)
        return 830 + (o - 236) / 2;
    return 836;
}

constexpr int LedCode(TmcOEMLEDtype kind)
{
    const int o = kind;
    if (o == 0)
        return 0;
    if (o <= 121)
        return 10 + (o - 1);
    if (o <= 136)
        return 800 + (o - 122);
    if (o == 137)
        return 816;
    return 821 + (o - 138);
}

constexpr int ButtonCode(TmcOEMButtontype kind)
{
    const int o = kind;
    if (o <= 7)
        return o;
    if (o <= 90)
        return 100 + (o - 8);
    if (o <= 162)
        return 184 + (o - 91);
    if (o <= 233)
        return 257 + (o - 163);
    if (o <= 252)
        return 1000 + (o - 234);
    return 1020 + (o - 253);
}

}  // namespace hostsim::oem
