// ThtmlTable's column widths: the columns' narrowest and widest content measured per layout pass (with
// percentages, or in pixels only), and the room shared out among them by one of three algorithms.

#include <algorithm>

#include "layout/sectionlist.h"
#include "layout/tables.h"

using platform::MulDiv;

int ThtmlTable::SumOf(const std::vector<int>& v)
{
    long long s = 0;
    for (int x : v)
        s += x;
    return int(std::clamp<long long>(s, -2000000000LL, 2000000000LL));
}

// ---------------------------------------------------------------- column widths

int ThtmlTable::CellPercent(const TCellObj& cell, int W) const
{
    if (cell.SpecWidthPercent)
        return cell.SpecWidth;
    if (cell.SpecWidth > 0 && W > 0)
        return std::min(1000, MulDiv(cell.SpecWidth, 1000, W));
    return 0;
}

void ThtmlTable::MeasureColumns(platform::Canvas* canvas, int W, int& totalMin, int& totalMax)
{
    if (WidthPass != Root->LayoutPass) {
        std::fill(MaxWidths.begin(), MaxWidths.end(), 0);
        std::fill(MinWidths.begin(), MinWidths.end(), 0);
        std::fill(Percents.begin(), Percents.end(), 0);
        Heights.clear();
        for (const SpanRef& ref : ColSpanOrder) {
            TCellObj& cell = *(*Rows[std::size_t(ref.Row)])[ref.Col];
            const int s = ref.Span;
            const int first = ref.Col;
            const int last = std::min(NumCols, first + s);  // one past the spanned columns
            if (first >= last)
                continue;
            const int P = CellPercent(cell, W);
            int mn = 0, mx = 0;
            cell.Cell->MeasureWidths(canvas, mn, mx);
            const int h = cell.HzSpace + CellSpacing;
            mn = std::clamp(mn + h, 0, MaxColumnWidth);
            mx = std::clamp(mx + h, 0, MaxColumnWidth);
            if (s == 1) {
                MaxWidths[std::size_t(first)] = std::max(MaxWidths[std::size_t(first)], mx);
                MinWidths[std::size_t(first)] = std::max(MinWidths[std::size_t(first)], mn);
                Percents[std::size_t(first)] = std::max(Percents[std::size_t(first)], P);
                continue;
            }
            int maxSum = 0, minSum = 0, pctSum = 0, U = 0;  // spans are at most MaxColSpan columns
            for (int i = first; i < last; ++i) {
                maxSum += MaxWidths[std::size_t(i)];
                minSum += MinWidths[std::size_t(i)];
                if (Percents[std::size_t(i)] > 0)
                    pctSum += Percents[std::size_t(i)];
                else
                    ++U;
            }
            if (first == 0 && last == NumCols) {
                minSum = std::max(minSum, W);
                maxSum = std::max(maxSum, W);
            }
            const int exMin = mn - minSum;
            const int exMax = mx - maxSum;
            if (P > 0 || pctSum > 0) {
                const int A = U > 0 ? std::max(0, (P - pctSum) / U) : 0;
                if (U == 0 && pctSum < P) {
                    for (int i = first; i < last; ++i)
                        Percents[std::size_t(i)] = MulDiv(Percents[std::size_t(i)], P, pctSum);
                } else if (A > 0) {
                    for (int i = first; i < last; ++i)
                        if (Percents[std::size_t(i)] == 0)
                            Percents[std::size_t(i)] = A;
                }
                const int D = std::max(pctSum, P);
                if (exMin > 0)
                    for (int i = first; i < last; ++i)
                        MinWidths[std::size_t(i)] += U <= 0 || maxSum <= 0
                                                         ? MulDiv(exMin, Percents[std::size_t(i)], D)
                                                         : MulDiv(exMin, MaxWidths[std::size_t(i)], maxSum);
                if (exMax > 0)
                    for (int i = first; i < last; ++i)
                        MaxWidths[std::size_t(i)] += MulDiv(exMax, Percents[std::size_t(i)], D);
            } else {
                auto spread = [&](std::vector<int>& v, int need, int sum) {
                    int total = 0;
                    for (int i = first; i < last; ++i) {
                        int& x = v[std::size_t(i)];
                        x = sum > 0 ? MulDiv(need, x, sum) : need / (last - first);
                        total += x;
                    }
                    if (total < need)
                        v[std::size_t(first)] += need - total;
                };
                if (exMin > 0)
                    spread(MinWidths, mn, minSum);
                if (exMax > 0)
                    spread(MaxWidths, mx, maxSum);
            }
            for (int i = first; i < last; ++i) {
                MinWidths[std::size_t(i)] = std::clamp(MinWidths[std::size_t(i)], 0, MaxColumnWidth);
                MaxWidths[std::size_t(i)] = std::clamp(MaxWidths[std::size_t(i)], 0, MaxColumnWidth);
            }
        }
        WidthPass = Root->LayoutPass;
        AbsolutePass = -1;
    }
    totalMin = SumOf(MinWidths);
    totalMax = SumOf(MaxWidths);
}

void ThtmlTable::MeasureColumnsAbsolute(platform::Canvas* canvas, int& totalMin, int& totalMax)
{
    // The content's widths do not change within a layout pass: measured once per pass.
    if (AbsolutePass == Root->LayoutPass) {
        totalMin = SumOf(MinWidths);
        totalMax = SumOf(MaxWidths);
        return;
    }
    AbsolutePass = Root->LayoutPass;
    WidthPass = -1;  // the arrays now hold these measurements
    std::fill(MaxWidths.begin(), MaxWidths.end(), 0);
    std::fill(MinWidths.begin(), MinWidths.end(), 0);
    Heights.clear();
    for (const SpanRef& ref : ColSpanOrder) {
        TCellObj& cell = *(*Rows[std::size_t(ref.Row)])[ref.Col];
        const int s = ref.Span;
        const int first = ref.Col;
        const int last = std::min(NumCols, first + s);
        if (first >= last)
            continue;
        int mn = 0, mx = 0;
        cell.Cell->MeasureWidths(canvas, mn, mx);
        const int h = cell.HzSpace + CellSpacing;
        mn = std::clamp(mn + h, 0, MaxColumnWidth);
        mx = std::clamp(mx + h, 0, MaxColumnWidth);
        if (cell.SpecWidth > 0 && !cell.SpecWidthPercent) {
            mn = mx = std::max(mn, s == 1 ? h + cell.SpecWidth : cell.SpecWidth);
        }
        if (s == 1) {
            MaxWidths[std::size_t(first)] = std::max(MaxWidths[std::size_t(first)], mx);
            MinWidths[std::size_t(first)] = std::max(MinWidths[std::size_t(first)], mn);
            continue;
        }
        auto spread = [&](std::vector<int>& v, int need) {
            int S = 0;
            for (int i = first; i < last; ++i)
                S += v[std::size_t(i)];
            if (S >= need)
                return;
            const int shortfall = need - S;
            if (S <= 0) {
                v[std::size_t(first)] += shortfall;
                return;
            }
            int given = 0;
            for (int i = first; i < last; ++i) {
                const int add = MulDiv(shortfall, v[std::size_t(i)], S);
                v[std::size_t(i)] += add;
                given += add;
            }
            v[std::size_t(first)] += shortfall - given;
        };
        spread(MinWidths, mn);
        spread(MaxWidths, mx);
    }
    totalMin = SumOf(MinWidths);
    totalMax = SumOf(MaxWidths);
}

void ThtmlTable::DistributeAbsolute(platform::Canvas* canvas, int W)
{
    int totalMin = 0, totalMax = 0;
    MeasureColumnsAbsolute(canvas, totalMin, totalMax);
    if (W < totalMin) {
        Widths = MinWidths;
        return;
    }
    if (W >= totalMax) {
        Widths = MaxWidths;
        return;
    }
    const int D = totalMax - totalMin;
    const int E = W - totalMin;
    for (int i = 0; i < NumCols; ++i) {
        const int mn = MinWidths[std::size_t(i)], mx = MaxWidths[std::size_t(i)];
        Widths[std::size_t(i)] = D <= 0 ? mn + MulDiv(mn, E, totalMin) : mn + MulDiv(mx - mn, E, D);
    }
    int R = SumOf(Widths) - W;
    for (int i = 0; i < NumCols && R != 0; ++i) {
        if (R < 0) {
            ++Widths[std::size_t(i)];
            ++R;
        } else if (MinWidths[std::size_t(i)] < MaxWidths[std::size_t(i)]) {
            --Widths[std::size_t(i)];
            --R;
        }
    }
}

void ThtmlTable::DistributeFixed(int W)
{
    std::vector<bool> fixed(std::size_t(NumCols), false);
    int U = 0, lastFree = -1, freeRange = 0, pctSum = 0;
    for (int i = 0; i < NumCols; ++i) {
        const std::size_t k = std::size_t(i);
        const int p = Percents[k];
        if (p <= 0) {
            Widths[k] = MinWidths[k];
            ++U;
            lastFree = i;
            freeRange += std::max(0, MaxWidths[k] - MinWidths[k]);
        } else {
            const int v = MulDiv(W, p, 1000);
            if (v > MinWidths[k]) {
                Widths[k] = v;
                pctSum += p;
            } else {
                Widths[k] = MinWidths[k];
                fixed[k] = true;
            }
        }
    }
    int diff = SumOf(Widths) - W;
    if (diff < 0) {
        if (U == 0) {
            if (pctSum > 0)
                for (int i = 0; i < NumCols; ++i)
                    if (Percents[std::size_t(i)] > 0 && !fixed[std::size_t(i)])
                        Widths[std::size_t(i)] += MulDiv(-diff, Percents[std::size_t(i)], pctSum);
        } else if (freeRange > 0 && freeRange >= -diff / 4) {
            for (int i = 0; i < NumCols; ++i)
                if (Percents[std::size_t(i)] <= 0)
                    Widths[std::size_t(i)] +=
                        MulDiv(-diff, MaxWidths[std::size_t(i)] - MinWidths[std::size_t(i)], freeRange);
        } else {
            for (int i = 0; i < NumCols; ++i)
                if (Percents[std::size_t(i)] <= 0)
                    Widths[std::size_t(i)] += -diff / U;
        }
    } else if (diff > 0) {
        for (int round = 0; round < 4 && pctSum > 0; ++round) {
            bool any = false;
            for (int i = 0; i < NumCols && pctSum > 0; ++i) {
                const std::size_t k = std::size_t(i);
                if (Percents[k] <= 0 || fixed[k])
                    continue;
                if (Widths[k] - MulDiv(diff, Percents[k], pctSum) < MinWidths[k]) {
                    diff -= Widths[k] - MinWidths[k];
                    pctSum -= Percents[k];
                    Widths[k] = MinWidths[k];
                    fixed[k] = true;
                    any = true;
                }
            }
            if (!any)
                break;
        }
        if (pctSum > 0)
            for (int i = 0; i < NumCols; ++i)
                if (Percents[std::size_t(i)] > 0 && !fixed[std::size_t(i)])
                    Widths[std::size_t(i)] -= MulDiv(diff, Percents[std::size_t(i)], pctSum);
    }
    const int R = SumOf(Widths) - W;
    if (R > 0) {
        for (int i = 0; i < NumCols; ++i)
            if (!fixed[std::size_t(i)]) {
                Widths[std::size_t(i)] -= R;
                break;
            }
    } else if (NumCols > 0) {
        Widths[std::size_t(lastFree >= 0 ? lastFree : 0)] += -R;
    }
}

void ThtmlTable::DistributeAuto(int totalMin, int totalMax, int W)
{
    std::vector<int> mins = MinWidths, maxs = MaxWidths;
    const int pctSum = SumOf(Percents);
    if ((pctSum > 0 && pctSum <= 1000) || SpecWidth > 0) {
        int A = 0;
        long long M64 = 0;
        for (int i = 0; i < NumCols; ++i) {
            const int p = Percents[std::size_t(i)];
            if (p > 0)
                A = std::max(A, MulDiv(maxs[std::size_t(i)], 1000, p));
            else
                M64 += maxs[std::size_t(i)];
        }
        const int M = int(std::min<long long>(M64, 1000000000LL));
        const int B = pctSum > 999 ? (M < 1 ? 0 : 30000) : MulDiv(M, 1000, 1000 - pctSum);
        int T = std::max(A, B);
        if (W >= T) {
            if (SpecWidth > 0)
                T = W;
            const int rest = MulDiv(T, 1000 - pctSum, 1000);
            for (int i = 0; i < NumCols; ++i) {
                const int p = Percents[std::size_t(i)];
                Widths[std::size_t(i)] = p > 0 ? MulDiv(T, p, 1000) : M < 1 ? 0 : MulDiv(maxs[std::size_t(i)], rest, M);
            }
            return;
        }
        std::vector<int> p = Percents;
        int prevN = 268435455;
        // Percentages that do not fit are scaled down until they do, or lost. Each round makes N smaller,
        // and the rounds are bounded besides, so the loop always ends.
        for (int round = 0; round < 1000; ++round) {
            for (int i = 0; i < NumCols; ++i)
                if (p[std::size_t(i)] > 0 && MulDiv(W, p[std::size_t(i)], 1000) < mins[std::size_t(i)])
                    p[std::size_t(i)] = 0;
            int S = 0, Q = 0, left = 0;
            for (int i = 0; i < NumCols; ++i) {
                if (p[std::size_t(i)] > 0) {
                    Q += MulDiv(W, p[std::size_t(i)], 1000);
                    ++left;
                } else {
                    S += mins[std::size_t(i)];
                }
            }
            if (left == 0)
                break;
            if (W < S + Q) {
                if (Q <= 0)
                    break;  // nothing left to scale: the percentages are lost
                int N = W - S;
                if (N >= prevN)
                    N = prevN - 1;
                prevN = N;
                for (int i = 0; i < NumCols; ++i)
                    if (p[std::size_t(i)] > 0)
                        p[std::size_t(i)] = MulDiv(p[std::size_t(i)], N, Q);
                continue;
            }
            for (int i = 0; i < NumCols; ++i)
                if (p[std::size_t(i)] > 0)
                    mins[std::size_t(i)] = maxs[std::size_t(i)] = MulDiv(W, p[std::size_t(i)], 1000);
            totalMin = SumOf(mins);
            totalMax = SumOf(maxs);
            break;
        }
    }
    if (NumCols == 0)
        return;
    for (int i = 0; i < NumCols; ++i) {
        const std::size_t k = std::size_t(i);
        Widths[k] = totalMax == totalMin ? mins[k] + (W - totalMin) / NumCols
                                         : mins[k] + MulDiv(maxs[k] - mins[k], W - totalMin, totalMax - totalMin);
    }
    int widest = 0;
    for (int i = 1; i < NumCols; ++i)
        if (maxs[std::size_t(i)] - mins[std::size_t(i)] > maxs[std::size_t(widest)] - mins[std::size_t(widest)])
            widest = i;
    Widths[std::size_t(widest)] += W - SumOf(Widths);
}
