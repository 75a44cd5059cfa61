# Writes the inputs that are too large to keep in the repository into DIR: big.fzl, 100 MiB of
# valid definitions.
set(definition "(deffuzzy v (range 0 100) (values (term a (tri 0 10 20)) (term b ((0 0) (50 1) (100 0)))))\n")
string(LENGTH "${definition}" length)
math(EXPR copies "100 * 1024 * 1024 / ${length} + 1")
string(REPEAT "${definition}" ${copies} text)
file(WRITE ${DIR}/big.fzl "${text}")
