#!/bin/sh
# dlgtool as git's diff and merge drivers, configured as the README says, in
# a repository of its own (no global or system git configuration is read or
# touched): git diff prints the page-level changes, git log -p the text form,
# and git merge of two branches that each added a page succeeds with both.
# usage: git_drivers.sh DLGTOOL SAMPLE.dlg
set -eu
dlgtool=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" GIT_CONFIG_NOSYSTEM=1 GIT_CONFIG_GLOBAL=/dev/null
cd "$work"
fail() {
    echo "git_drivers: $*"
    exit 1
}

git init -q -b main repo
cd repo
git config user.name Tester
git config user.email tester@example.org
git config diff.dlg.command "$dlgtool diff"
git config diff.dlg.textconv "$dlgtool show"
git config merge.dlg.name "Talkwright conversation merge"
git config merge.dlg.driver "$dlgtool merge %O %A %B -o %A"
echo '*.dlg diff=dlg merge=dlg' >.gitattributes
"$dlgtool" format "$sample" -o tavern.dlg
git add .gitattributes tavern.dlg
git commit -q -m base

# A page at the top renumbers every line; the room is page 21 there.
git checkout -q -b top
{ printf '// [LABEL] Top\r\n{9001}{Psst.}{Psst.}{}{}{}{}\r\n{9002}{A room?}{}{1}{}{21}{}\r\n\r\n'; cat tavern.dlg; } >new.dlg
"$dlgtool" format new.dlg -o tavern.dlg
rm new.dlg
git diff >diff.txt || fail "git diff failed"
grep -q '^page "Top": added as page 1$' diff.txt || fail "git diff does not name the added page: $(cat diff.txt)"
[ "$(grep -c '^page ' diff.txt)" = 1 ] || fail "git diff names more than the added page: $(cat diff.txt)"
git commit -q -am top
git log -p -1 >log.txt
grep -q '^+page "Top"$' log.txt || fail "git log -p does not show the text form: $(cat log.txt)"
grep -q '^+{' log.txt && fail "git log -p shows the lines of the file: $(cat log.txt)"

# A page at the end, on another branch; the cellar is page 61 there.
git checkout -q main
cp tavern.dlg new.dlg
printf '// [LABEL] End\r\n{9101}{Closing time.}{Closing time.}{}{}{}{}\r\n{9102}{The cellar?}{}{1}{}{61}{}\r\n\r\n' >>new.dlg
"$dlgtool" format new.dlg -o tavern.dlg
rm new.dlg
git commit -q -am end

git checkout -q top
git merge -q -m merged main >merge.txt 2>&1 || fail "git merge failed: $(cat merge.txt)"
"$dlgtool" show tavern.dlg >merged.txt
grep -q '^page "Top"$' merged.txt || fail "the merge lost the page Top"
grep -q '^page "End"$' merged.txt || fail "the merge lost the page End"
# Every jump still leads where it led on its side.
grep -A2 '^  option: A room?$' merged.txt | grep -q 'leads to: page "Room"' || fail "Top's option no longer leads to Room: $(cat merged.txt)"
grep -A2 '^  option: The cellar?$' merged.txt | grep -q 'leads to: page "Cellar"' || fail "End's option no longer leads to Cellar: $(cat merged.txt)"
"$dlgtool" check tavern.dlg >check.txt || fail "the merged file does not pass check: $(cat check.txt)"
[ -z "$(git status --porcelain --untracked-files=no)" ] || fail "the merge left changes: $(git status --porcelain)"
echo "git_drivers: git diff, git log -p and git merge use dlgtool"
