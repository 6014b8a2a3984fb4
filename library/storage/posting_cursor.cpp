// Keyed tables of pairs in the posting-list layout: reads by key or
// position and the sequence in either order, one decoded list at a time.
#include <algorithm>
#include <cstring>

#include "storage/posting_backend.h"

namespace pm::postings {
namespace {

using sql::Connection;

constexpr std::uint32_t kMax = 0xFFFFFFFFu;

std::uint32_t aOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos) >> 32); }
std::uint32_t bOf(RecordPosition pos) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pos)); }

}  // namespace

void PostingBackend::setPhysical(RecordPosition from) {
    cursor_ = {};
    cursor_.chosen = true;
    cursor_.order = ByA;
    cursor_.startMode = from != 0 ? FromPosition : FromStart;
    cursor_.startPosition = from;
}

void PostingBackend::setKey(const KeyDef& key, int mode, RecordPosition pos) {
    cursor_ = {};
    cursor_.chosen = true;
    cursor_.order = key.index == 0 ? ByA : ByB;
    cursor_.startMode = mode;
    cursor_.startPosition = pos;
    if (mode == FromValues) {
        cursor_.startA = fieldValue(0);
        cursor_.startB = fieldValue(1);
    }
}

StorageStatus PostingBackend::get(const KeyDef& key) {
    if (!isOpen()) return notOpen();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    const std::uint32_t a = fieldValue(0), b = fieldValue(1);
    if (key.index == 0) return readPair(a, b);
    Block block;
    int rc = lists_.blockAtOrBefore(b, 0, block);
    if (rc == SQLITE_DONE) rc = lists_.blockBeside(b, 0, +1, block);
    if (rc == SQLITE_DONE) return notFound();
    if (rc != SQLITE_OK) return sqlFailure(rc);
    deliver(block.values.front(), b);
    return StorageStatus::Ok;
}

StorageStatus PostingBackend::getAt(RecordPosition pos) {
    if (!isOpen()) return notOpen();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    return readPair(aOf(pos), bOf(pos));
}

std::uint32_t PostingBackend::fieldValue(int field) const {
    std::uint32_t v;
    std::memcpy(&v,
                static_cast<const unsigned char*>(table_.record()) +
                    table_.def().fields[static_cast<std::size_t>(field)].offset,
                4);
    return v;
}

void PostingBackend::deliver(std::uint32_t a, std::uint32_t b) {
    auto* record = static_cast<unsigned char*>(table_.record());
    std::memcpy(record + table_.def().fields[0].offset, &a, 4);
    std::memcpy(record + table_.def().fields[1].offset, &b, 4);
    table_.setPosition(static_cast<RecordPosition>((static_cast<std::uint64_t>(a) << 32) | b));
}

PostingBackend::Generation PostingBackend::generation() const {
    return {writeGeneration_, Connection::instance().rollbackGeneration()};
}

StorageStatus PostingBackend::sqlFailure(int rc) {
    return fail(rc, rc == SQLITE_CORRUPT ? "Damaged list in " + table_.displayName() : sql::lastErrorText());
}

StorageStatus PostingBackend::readPair(std::uint32_t a, std::uint32_t b) {
    if (!rowCache_.valid || rowCache_.major != a || rowCache_.generation != generation()) {
        rowCache_.valid = false;
        int rc = lists_.loadRow(a, rowCache_.values);
        if (rc == SQLITE_DONE) rowCache_.values.clear();
        else if (rc != SQLITE_OK) return sqlFailure(rc);
        rowCache_.valid = true;
        rowCache_.major = a;
        rowCache_.generation = generation();
    }
    if (!std::binary_search(rowCache_.values.begin(), rowCache_.values.end(), b)) return notFound();
    deliver(a, b);
    return StorageStatus::Ok;
}

// Places the group on the first record at or after (dir > 0), or the last
// at or before (dir < 0), (major, minor) in the cursor's order; strictly
// after or before when `strict`.
StorageStatus PostingBackend::seek(std::uint32_t major, std::uint32_t minor, bool strict, int dir) {
    Group& g = cursor_.group;
    g.valid = false;
    const auto pick = [&](std::uint32_t groupMajor) -> bool {
        std::vector<std::uint32_t>& v = g.values;
        std::size_t at;
        if (dir > 0) {
            at = static_cast<std::size_t>((strict ? std::upper_bound(v.begin(), v.end(), minor)
                                                  : std::lower_bound(v.begin(), v.end(), minor)) - v.begin());
            if (at >= v.size()) return false;
        } else {
            at = static_cast<std::size_t>((strict ? std::lower_bound(v.begin(), v.end(), minor)
                                                  : std::upper_bound(v.begin(), v.end(), minor)) - v.begin());
            if (at == 0) return false;
            --at;
        }
        g.major = groupMajor;
        g.index = at;
        g.valid = true;
        g.generation = generation();
        return true;
    };
    const auto whole = [&](std::uint32_t groupMajor) {
        if (g.values.empty()) return false;
        g.major = groupMajor;
        g.index = dir > 0 ? 0 : g.values.size() - 1;
        g.valid = true;
        g.generation = generation();
        return true;
    };

    if (cursor_.order == ByA) {
        int rc = lists_.loadRow(major, g.values);
        if (rc == SQLITE_OK && pick(major)) return StorageStatus::Ok;
        if (rc != SQLITE_OK && rc != SQLITE_DONE) return sqlFailure(rc);
        std::uint32_t at = major;
        for (;;) {
            std::uint32_t found = 0;
            rc = lists_.neighbourRow(at, dir, found, g.values);
            if (rc == SQLITE_DONE) return notFound();
            if (rc != SQLITE_OK) return sqlFailure(rc);
            if (whole(found)) return StorageStatus::Ok;
            at = found;
        }
    }

    Block block;
    int rc = lists_.blockAtOrBefore(major, minor, block);
    if (rc == SQLITE_OK) {
        g.values = std::move(block.values);
        if (pick(major)) return StorageStatus::Ok;
        rc = dir > 0 ? lists_.blockBeside(major, minor, +1, block)
                     : lists_.blockBeside(major, block.first, -1, block);
    } else if (rc == SQLITE_DONE) {
        rc = dir > 0 ? lists_.blockBeside(major, minor, +1, block) : SQLITE_DONE;
    }
    if (rc == SQLITE_DONE) rc = lists_.blockOfNeighbour(major, dir, block);
    if (rc == SQLITE_DONE) return notFound();
    if (rc != SQLITE_OK) return sqlFailure(rc);
    const std::uint32_t groupMajor = block.b;
    g.values = std::move(block.values);
    whole(groupMajor);
    return StorageStatus::Ok;
}

StorageStatus PostingBackend::step(int dir) {
    if (!isOpen()) return notOpen();
    if (!cursor_.chosen) return notFound();
    // Nothing appended waits: the usual case, checked here as it is every read.
    if (!pending_.empty() || working_) {
        if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    }
    Group& g = cursor_.group;
    StorageStatus st;
    if (!cursor_.started) {
        std::uint32_t major, minor;
        startTarget(dir, major, minor);
        st = seek(major, minor, false, dir);
    } else if (g.valid && g.generation == generation() &&
               (dir > 0 ? g.index + 1 < g.values.size() : g.index > 0)) {
        g.index = dir > 0 ? g.index + 1 : g.index - 1;
        st = StorageStatus::Ok;
    } else {
        st = seek(cursor_.major, cursor_.minor, true, dir);
    }
    if (st != StorageStatus::Ok) return st;
    cursor_.started = true;
    cursor_.major = g.major;
    cursor_.minor = g.values[g.index];
    if (cursor_.order == ByA) deliver(cursor_.major, cursor_.minor);
    else deliver(cursor_.minor, cursor_.major);
    return StorageStatus::Ok;
}

StorageStatus PostingBackend::firstValuesOf(std::uint32_t second, std::vector<std::uint32_t>& out) {
    if (!isOpen()) return notOpen();
    if (StorageStatus st = mergePending(); st != StorageStatus::Ok) return st;
    const int rc = lists_.blocksFrom(second, 0, out);
    return rc == SQLITE_OK ? StorageStatus::Ok : sqlFailure(rc);
}

void PostingBackend::startTarget(int dir, std::uint32_t& major, std::uint32_t& minor) const {
    const bool byA = cursor_.order == ByA;
    switch (cursor_.startMode) {
        case FromValues:
            major = byA ? cursor_.startA : cursor_.startB;
            // The second key has one part: from the first (or last) record of that B.
            minor = byA ? cursor_.startB : (dir > 0 ? 0 : kMax);
            return;
        case FromPosition: {
            const std::uint32_t a = aOf(cursor_.startPosition), b = bOf(cursor_.startPosition);
            major = byA ? a : b;
            minor = byA ? b : a;
            return;
        }
        default:
            major = minor = dir > 0 ? 0 : kMax;
            return;
    }
}

}  // namespace pm::postings
