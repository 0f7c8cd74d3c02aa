#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: the sample logs and the nasty cases.

Run from the repository root: python3 fuzz/make_corpus.py
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent
SPOT, BUY, SELL = '現物'.encode('cp932'), '買'.encode('cp932'), '売'.encode('cp932')
OPEN, CLOSE = '信用新規'.encode('cp932'), '信用返済'.encode('cp932')
TAKE, GIVE = '現引'.encode('cp932'), '現渡'.encode('cp932')
TAKE_FORMAL, GIVE_FORMAL = '品受'.encode('cp932'), '品渡'.encode('cp932')
UTF8_SPOT = '現物'.encode('utf-8')
NAME, MARKET, ACCOUNT, KIND = ('トヨタ自動車'.encode('cp932'), '東証'.encode('cp932'),
                               '特定'.encode('cp932'), '制度'.encode('cp932'))


def spot(code=b'7203', side=BUY, qty=b'100', price=b'1000', fee=b'100', tax=b'8',
         date=b'2024/03/05 14:55', name=NAME, kind=SPOT, settle=b'100108', last=b'2024/03/07',
         account=ACCOUNT):
    return b','.join([date, b'100105', code, name, kind, side, MARKET, account, qty, price,
                      fee, tax, settle, last])


SPOT_HEADING = ('約定日時,約定番号,銘柄コード,銘柄名,取引区分,売買区分,市場,口座,約定数量,約定単価,'
                '手数料,手数料消費税,受渡金額,受領日').encode('cp932')


def margin(code=b'9984', kind=CLOSE, qty=b'200', price=b'7690', pos_price=b'7250',
           interest=b'-1280', fees=b'0', settle=b'86500', date=b'2024/04/22 11:45',
           account=ACCOUNT):
    return b','.join([date, b'200104', code, NAME, kind, '売埋'.encode('cp932'), MARKET,
                      account, KIND, qty, price, fees, fees, qty, pos_price, fees, fees,
                      b'220', fees, interest, fees, fees, settle, b'2024/04/24'])


def line_seeds():
    s, m = spot(), margin()
    seeds = {'spot': b'0' + s, 'margin': b'1' + m, 'blank': b'0 \t ', 'empty': b'1'}
    columns = s.split(b',')
    for i in range(len(columns)):
        quoted = list(columns)
        quoted[i] = b'"' + quoted[i] + b'"'
        seeds[f'quoted-{i}'] = b'0' + b','.join(quoted)
    seeds['quote-inside'] = b'0' + s.replace(b'100105', b'10"01"05')
    seeds['doubled-quotes'] = b'0' + s.replace(NAME, b'"AC""ME"" ""X"""')
    seeds['unclosed-quote'] = b'0' + s.replace(NAME, b'"ACME,')
    seeds['comma-in-quotes'] = b'0' + spot(qty=b'"1,000"', settle=b'"1,234,567"')
    seeds['long-line'] = b'0' + spot(name=b'N' * 100_000)
    seeds['nul-in-name'] = b'0' + spot(name=b'AB\x00CD')
    seeds['nul-in-number'] = b'0' + spot(qty=b'1\x000')
    seeds['lone-cr'] = b'0' + spot(name=b'AB\rCD')
    seeds['lead-byte-at-end'] = b'0' + spot(last=b'2024/03/07\x81')
    seeds['int64-max'] = b'0' + spot(qty=b'9223372036854775807')
    seeds['int64-min'] = b'1' + margin(interest=b'-9223372036854775808')
    seeds['int64-over'] = b'0' + spot(fee=b'9223372036854775808')
    seeds['minus-zero'] = b'0' + spot(price=b'-0', qty=b'-0')
    seeds['huge-price'] = b'0' + spot(price=b'999999999999999.99')
    seeds['fraction-price'] = b'1' + margin(price=b'2345.5', pos_price=b'0.1')
    seeds['digits-8-9-16-17'] = b'0' + spot(qty=b'12345678', price=b'123456789',
                                            fee=b'1234567890123456', tax=b'-12345678901234567')
    seeds['beside-digits'] = b'1' + margin(qty=b'12:4', price=b'/1234567', interest=b'-?')
    seeds['zero-quantity'] = b'0' + spot(qty=b'0')
    seeds['negative-quantity'] = b'0' + spot(qty=b'-100')
    seeds['symbol-code'] = b'0' + spot(code=b' 130A ')
    seeds['odd-date'] = b'0' + spot(date=b'-2024-+3-/05')
    seeds['extra-columns'] = b'1' + m + b',x,"y'
    seeds['short'] = b'1' + s
    seeds['empty-columns'] = b'0' + b',' * 13
    return seeds


def log(*lines, heading=b'heading', end=b'\n'):
    return end.join((heading,) + lines) + end


def run_seeds():
    example = ROOT.parent / 'examples'
    seeds = {
        'examples': (example / 'spot.csv').read_bytes() + b'\x1e' +
                    (example / 'margin.csv').read_bytes(),
        'worked-example': log(spot(), spot(price=b'1100'),
                              spot(side=SELL, qty=b'150', price=b'1200')) + b'\x1e',
        'oversell': log(spot(), spot(side=SELL, qty=b'300'), spot(side=SELL)) + b'\x1e',
        'sale-without-holding': log(spot(side=SELL)) + b'\x1e',
        'purchase-to-zero': log(spot(), spot(qty=b'-100'), spot(qty=b'50'),
                                spot(side=SELL, qty=b'50')) + b'\x1e',
        'overflowing-sums': log(spot(qty=b'9223372036854775807'), spot(qty=b'9'),
                                spot(fee=b'9223372036854775807'),
                                spot(side=SELL, fee=b'9223372036854775807')) + b'\x1e' +
                            log(margin(interest=b'-9223372036854775808'),
                                margin(fees=b'4611686018427387904')),
        'negative-sales': log(spot(), spot(side=SELL, qty=b'-9223372036854775808'),
                              spot(side=SELL, qty=b'-100'), spot(side=SELL, qty=b'0')) + b'\x1e',
        'huge-profit': log(spot(qty=b'9000000000000000000', price=b'1'),
                           spot(side=SELL, qty=b'9000000000000000000',
                                price=b'999999999999999')) + b'\x1e',
        'odd-dates': log(spot(), *(spot(side=SELL, qty=b'1', date=d) for d in
                                   [b'', b'2024', b'2024/3', b'2024-03-05', b' 2024/ 3/ 5',
                                    b'99999999999999999999/1/1', b'R6.3.5', b'2024/03/05x'])) +
                     b'\x1e',
        'crlf-and-lone-cr': log(spot(), spot(side=SELL, name=b'A\rB'), end=b'\r\n') + b'\x1e' +
                            log(margin(), end=b'\r\r\n'),
        'quoted-names': log(spot(name=b'"A,B"'), spot(side=SELL, name=b'"A,B"')) + b'\x1e',
        'margin-only': b'\x1e' + log(margin(kind=OPEN), margin(), margin(code=b'130A')),
        'no-heading-no-end': spot() + b'\n' + spot(side=SELL) + b'\x1e' + margin(),
        'symbol-codes': log(spot(code=b'130A'), spot(code=b'130a', side=SELL),
                            spot(code=b'0130A', side=SELL)) + b'\x1e',
        'accounts': log(spot(), spot(account=b'NISA', price=b'2000'),
                        spot(side=SELL, account=b'NISA'), spot(side=SELL),
                        spot(side=SELL, account=b'NISA')) + b'\x1e',
        'newest-first': log(spot(side=SELL, qty=b'150', date=b'2024/03/07 10:00'),
                            spot(price=b'1100', date=b'2024/03/06'),
                            spot(date=b'2024/03/05 10:00'), spot(date=b'x')) + b'\x1e' +
                        log(margin(date=b'2024/04/22 11:45'),
                            margin(kind=OPEN, date=b'2024/02/14 10:30')),
        'out-of-order': log(spot(date=b'2024/03/05 10:00'), spot(side=SELL, date=b'2024/03/07'),
                            spot(side=SELL, qty=b'1', date=b'2024/03/06 09:00'),
                            spot(side=SELL, qty=b'1', date=b'2024/03/08')) + b'\x1e',
        'utf8-bom': b'\xef\xbb\xbf' + log(spot(), spot(side=SELL)) + b'\x1e' + log(margin()),
        'utf8-keywords': log(spot(kind=UTF8_SPOT)) + b'\x1e' + log(margin()),
        'utf8-after-rows': log(spot(), spot(side=SELL, kind=UTF8_SPOT), spot(side=SELL)) + b'\x1e',
        'utf16': '\ufeff約定日時,7203\r\n'.encode('utf-16-le') + b'\x1e' + log(margin()),
        'nul-bytes': b'PK\x03\x04\x14\x00\x06\x00' + b'\x1e' + log(margin()),
        'swapped': log(margin(), margin(kind=OPEN)) + b'\x1e' + log(spot(), spot(side=SELL)),
        'preamble': log(b'Account,123-4567', b'Period,2024/01/01,2024/12/31', SPOT_HEADING,
                        spot(), b'not a trade', spot(side=SELL),
                        heading='取引履歴'.encode('cp932'), end=b'\r\n') + b'\x1e',
        'old-mac-line-ends': log(spot(), spot(side=SELL), end=b'\r') + b'\x1e' +
                             log(margin(), end=b'\r'),
        'nothing-to-use': log(spot(kind=OPEN), spot(kind=CLOSE)) + b'\x1e' + log(spot()),
        'undated-results': log(spot(), spot(side=SELL, qty=b'1', date='2024年3月12日'.encode('cp932')),
                               spot(side=SELL, qty=b'1', date=b'45363')) + b'\x1e',
        'deliveries': log(spot(side=SELL, date=b'2024/04/30 09:00'),
                          spot(side=SELL, qty=b'50', date=b'2024/05/10 09:00')) + b'\x1e' +
                      log(margin(code=b'7203', kind=TAKE, qty=b'100', pos_price=b'1000',
                                 interest=b'6', date=b'2024/05/01 15:30'),
                          margin(code=b'7203', kind=GIVE_FORMAL, qty=b'80', pos_price=b'1100.5',
                                 fees=b'8', date=b'2024/06/03'),
                          margin(code=b'7203', kind=TAKE_FORMAL, qty=b'0', date=b'2024/06/04'),
                          margin(code=b'7203', kind=GIVE, qty=b'30', account=b'NISA',
                                 date=b'2024/06/05')),
        'yutai-cross': log(spot(price=b'2019', fee=b'0', tax=b'0', date=b'2024/03/26 09:00')) +
                       b'\x1e' +
                       log(margin(code=b'7203', kind=OPEN, qty=b'100', price=b'2019',
                                  pos_price=b'2019', date=b'2024/03/26 09:00'),
                           margin(code=b'7203', kind=GIVE, qty=b'100', pos_price=b'2019',
                                  fees=b'151', date=b'2024/03/26 15:30'),
                           margin(code=b'7203', kind=TAKE, qty=b'100', pos_price=b'2019',
                                  date=b'2024/03/26 15:30')),
    }
    return seeds


def ledger_seeds():
    """Trades for fuzz_ledger: kind, code, then four little-endian 64-bit numbers."""
    def trade(kind, code, a, b, c, d):
        return bytes([kind, code]) + struct.pack('<qqqq', a, b, c, d)
    most, least = 2**63 - 1, -2**63
    return {
        'worked-example': trade(0, 0, 100, 10000, 100, 8) + trade(0, 0, 100, 11000, 100, 8) +
                          trade(1, 0, 150, 12000, 100, 8),
        'edges': trade(0, 1, most, 1, most, most) + trade(0, 1, 1, 1, 1, 1) +
                 trade(1, 1, least, 1, least, least) + trade(1, 1, most, most, 0, 0),
        'zero-and-negative': trade(0, 2, 100, 10, 0, 0) + trade(0, 2, -100, 20, 0, 0) +
                             trade(0, 2, 0, 30, 0, 0) + trade(1, 2, -5, 1, 0, 0) +
                             trade(1, 2, 0, 1, 0, 0),
        'margin': trade(2, 3, 100, 100, 0, 0) + trade(3, 3, 100, 100, -5, 7) +
                  trade(3, 4, least, most, least, most),
    }


def merge_seeds():
    """Logs for fuzz_merge: a byte for how many logs (2 to 5), then two bytes a row: the low
    bits of the first pick the log and its high bits the time (3: none); the second's low
    nibble the day (0: a date that does not read), its high nibble the price."""
    def row(log, day, time, price):
        return bytes([log | (time << 4), (price << 4) | day])
    def history(logs, rows, overlap):
        # One history cut into overlapping pieces, as yearly exports are.
        data = bytearray([logs - 2])
        for i in range(rows):
            day, time, price = 1 + 4 * i // rows, i % 4, i % 8
            piece = i * logs // rows
            data += row(piece, day, time, price)
            if piece + 1 < logs and (i + 1) * logs // rows > piece and overlap:
                data += row(piece + 1, day, time, price)
        return bytes(data)
    return {
        'pieces': history(3, 48, True),
        'pieces-apart': history(4, 40, False),
        'ties': bytes([1]) + row(0, 1, 0, 1) + row(1, 1, 0, 1) + row(0, 1, 3, 2) +
                row(1, 1, 3, 2) + row(0, 0, 0, 3),
        'equal-fills': bytes([0]) + row(0, 2, 1, 5) * 2 + row(1, 2, 1, 5) * 3,
    }


def write(folder, seeds):
    path = ROOT / 'corpus' / folder
    path.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (path / name).write_bytes(data)


if __name__ == '__main__':
    write('read_line', line_seeds())
    write('run', run_seeds())
    write('ledger', ledger_seeds())
    write('merge', merge_seeds())
