#include "app/SpriteRandom.h"

#include <QDateTime>

ClockRandom::ClockRandom() : m_generator(std::uint32_t(QDateTime::currentMSecsSinceEpoch())) {}
