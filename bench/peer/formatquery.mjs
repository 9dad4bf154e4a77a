// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// react-querybuilder's formatQuery(q, 'sql') over a query of n rules shaped as the rows of
// bench_sqlbuilder's grids: mixed fields and comparisons, "and"/"or", every fourth pair of
// rows in a group. Prints wall and CPU ns per rule for each n, as Google Benchmark's Time and
// CPU columns.
import { formatQuery } from 'react-querybuilder';

const fields = ['FSERIALNUM', 'FITEM', 'FQTY', 'FDATE', 'FSUB', 'FSYSN', 'FSYST'];
const operators = ['=', '>', '<', '<=', '>=', '!=', 'contains', 'doesNotContain', 'null', 'notNull'];
const values = ['A01', '12.50kg', "O'Brien", '10%', ''];

function query(n) {
  const rules = [];
  for (let r = 1; r <= n; ++r) {
    const rule = {
      field: fields[r % fields.length],
      operator: operators[Math.floor(r / 3) % operators.length],
      value: values[r % values.length],
    };
    if (r % 4 === 1 && r < n) {
      rules.push({ combinator: r % 2 ? 'or' : 'and', rules: [rule] });
    } else if (r % 4 === 2 && rules.length && rules[rules.length - 1].rules) {
      rules[rules.length - 1].rules.push(rule);
    } else {
      rules.push(rule);
    }
  }
  return { combinator: 'and', rules };
}

const sizes = process.argv.slice(2).map(Number).filter((n) => n > 0);
for (const n of sizes.length ? sizes : [500]) {
  const q = query(n);
  let sink = 0;
  for (let i = 0; i < 20; ++i) sink += formatQuery(q, 'sql').length; // warm up
  let iterations = 0;
  const cpuStart = process.cpuUsage();
  const start = process.hrtime.bigint();
  let elapsed = 0n;
  while (elapsed < 1_000_000_000n) {
    sink += formatQuery(q, 'sql').length;
    ++iterations;
    elapsed = process.hrtime.bigint() - start;
  }
  const cpu = process.cpuUsage(cpuStart); // microseconds
  const perRule = Number(elapsed) / iterations / n;
  const cpuPerRule = ((cpu.user + cpu.system) * 1000) / iterations / n;
  console.log(`formatQuery_sql/${n}\twall ns_per_rule=${perRule.toFixed(1)}\tcpu ns_per_rule=${cpuPerRule.toFixed(1)}\t(${iterations} runs, ${sink} chars)`);
}
