#pragma once

// The pizzeria's menu: five flavours, each with its price as a literal with a
// point and two decimals. Every flavour slot of the main window holds a copy
// of it, names and prices at the same positions.

#include <QStringView>

#include <array>

struct Flavour
{
    QStringView name;
    QStringView price;
};

inline constexpr std::array<Flavour, 5> kCatalogue{{
    {u"Mussarela", u"5.00"},
    {u"Calabresa", u"5.90"},
    {u"Portuguesa", u"9.00"},
    {u"Atum", u"6.50"},
    {u"A Moda da Casa", u"10.00"},
}};

// Width of a price text in a price list: the literal right-aligned in it.
inline constexpr int kPriceTextWidth = 9;
